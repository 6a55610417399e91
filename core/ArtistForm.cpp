#include "core/ArtistForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/TavolinModule.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"

namespace tvn {

namespace {

template <class T>
T* Named(T* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace

ArtistForm::ArtistForm(QWidget* parent)
    : LookupEditorForm({"ArtistForm", "Artist Manager", "Artists", "artist_name", "artist_name", 0,
                        {"artist1", "artist2", "artist3", "artist4"}},
                       parent) {
  SSTab1 = Named(new QTabWidget(this), "SSTab1");
  auto* main = new QWidget(SSTab1);
  auto* form = new QFormLayout;
  Artist_Name_text = Named(new QLineEdit(main), "Artist_Name_text");
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(Artist_Name_text, 1);
  nameRow->addWidget(new QLabel(QStringLiteral("(Recommended format: last name, first)"), main));
  form->addRow(QStringLiteral("Artist"), nameRow);
  Age_text = Named(new QLineEdit(main), "Age_text");
  form->addRow(QStringLiteral("Age"), Age_text);
  Nationality_Text = Named(new QLineEdit(main), "Nationality_Text");
  form->addRow(QStringLiteral("Nationality"), Nationality_Text);
  Affiliation_Text = Named(new QLineEdit(main), "Affiliation_Text");
  form->addRow(QStringLiteral("Affiliation"), Affiliation_Text);
  Artist_Notes_Text = Named(new QPlainTextEdit(main), "Artist_Notes_Text");
  form->addRow(QStringLiteral("Notes"), Artist_Notes_Text);

  auto* pictureColumn = new QVBoxLayout;
  PictureScroll = Named(new QScrollArea(main), "PictureScroll");
  Picture_Box = Named(new QLabel(PictureScroll), "Picture_Box");
  Picture_Box->setAlignment(Qt::AlignCenter);
  PictureScroll->setWidget(Picture_Box);
  PictureScroll->setWidgetResizable(true);
  PictureScroll->setMinimumSize(200, 200);
  pictureColumn->addWidget(PictureScroll, 1);
  Add_Picture = Named(new QPushButton(QStringLiteral("Add/Change Picture"), main), "Add_Picture");
  Delete_Picture = Named(new QPushButton(QStringLiteral("Delete Picture"), main), "Delete_Picture");
  Add_Picture->setAutoDefault(false);
  Delete_Picture->setAutoDefault(false);
  pictureColumn->addWidget(Add_Picture);
  pictureColumn->addWidget(Delete_Picture);
  connect(Add_Picture, &QPushButton::clicked, this, [this] { vb::Guarded([this] { Add_Picture_Click(); }); });
  connect(Delete_Picture, &QPushButton::clicked, this, [this] { vb::Guarded([this] { Delete_Picture_Click(); }); });

  auto* columns = new QHBoxLayout(main);
  columns->addLayout(form, 2);
  columns->addLayout(pictureColumn, 1);
  SSTab1->addTab(main, QStringLiteral("Main"));
  SetFieldArea(SSTab1);
}

std::vector<QWidget*> ArtistForm::TextBoxes() const {
  return {Artist_Name_text, Age_text, Nationality_Text, Affiliation_Text, Artist_Notes_Text};
}

std::vector<QWidget*> ArtistForm::StateBoxes() const { return TextBoxes(); }

void ArtistForm::ShowFields(dao::Recordset& rs) {
  Artist_Name_text->setText(QString::fromStdString(vb::NzStr(rs.GetField("artist_name"))));
  const vb::Variant age = rs.GetField("Artist_Age");
  if (!age.isNull() && !age.isEmpty()) Age_text->setText(QString::fromStdString(vb::CStr(age)));
  Nationality_Text->setText(QString::fromStdString(vb::NzStr(rs.GetField("artist_nationality"))));
  Affiliation_Text->setText(QString::fromStdString(vb::NzStr(rs.GetField("affiliation"))));
  Artist_Notes_Text->setPlainText(QString::fromStdString(vb::NzStr(rs.GetField("artist_notes"))));
}

void ArtistForm::WriteFields(dao::Recordset& rs) {
  rs.SetField("artist_name", vb::Variant(Artist_Name_text->text().toStdString()));
  // Text that is no number leaves the stored age as it was.
  const vb::Variant age(Age_text->text().toStdString());
  if (vb::IsNumeric(age)) rs.SetField("Artist_Age", vb::Variant(vb::CDbl(age)));
  rs.SetField("artist_nationality", vb::Variant(Nationality_Text->text().toStdString()));
  rs.SetField("affiliation", vb::Variant(Affiliation_Text->text().toStdString()));
  rs.SetField("artist_notes", vb::Variant(Artist_Notes_Text->toPlainText().toStdString()));
}

void ArtistForm::ShowExtras(dao::Recordset& rs) {
  const std::string stored = vb::NzStr(rs.GetField("Picture"));
  if (vb::Trim(stored).empty()) {
    Picture_Box->clear();
    return;
  }
  // A picture that cannot be loaded (a folder not mounted, a file moved)
  // shows nothing; its reference stays, so it shows again once the file
  // is back. Only Delete Picture removes it.
  if (!ShowPicture(Picture_Box, stored)) Picture_Box->clear();
}

void ArtistForm::StateChanged() {
  const bool shown = !IsEmptyState() && !AddingEntry;
  Add_Picture->setEnabled(shown);
  Delete_Picture->setEnabled(shown);
}

void ArtistForm::Add_Picture_Click() {
  if (!EntryTable || IsEmptyState() || AddingEntry) return;
  LoadPictureForRecord(this, *EntryTable);
}

void ArtistForm::Delete_Picture_Click() {
  if (!EntryTable || IsEmptyState() || AddingEntry) return;
  dao::Recordset& rs = *EntryTable;
  rs.Edit();
  try {
    rs.SetField("Picture", vb::Variant(std::string()));
    rs.Update();
  } catch (...) {
    if (rs.EditMode() != dao::dbEditNone) rs.CancelUpdate();
    throw;
  }
  Picture_Box->clear();
}

void ShowArtistManager(QWidget* parent) {
  ArtistForm editor(parent);
  ShowLookupEditor(editor);
}

}  // namespace tvn
