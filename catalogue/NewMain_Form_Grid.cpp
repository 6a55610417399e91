// The title grid, the four artist boxes and the picture of a record.
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/runtime/Functions.h"

namespace tvn {

namespace {

// The work arrays that carry a record's artists and titles from the editor
// to the row being stored; meaningful between one collect and its write.
std::array<std::string, 5> TrackArtists;
std::array<std::string, 41> TrackTitles;

}  // namespace

void NewMain_Form::SetSelectionTitles() {
  TGrid->Clear();
  TGrid->SetRows(kTitleRows + 1);
  for (int r = 0; r <= kTitleRows; ++r) TGrid->SetRowHeight(r, 300);
  TGrid->SetColWidth(0, 0);
  TGrid->SetColWidth(1, 5600);
  TGrid->SetCol(1);
  TGrid->SetRow(0);
  TGrid->SetText("Selection Titles");
}

void NewMain_Form::LoadTitlesAndPicture() {
  for (int i = 1; i <= 4; ++i)
    Artist[i - 1]->setEditText(QString::fromStdString(vb::NzStr(RecordRow->GetField("artist" + std::to_string(i)))));
  // Filled cell by cell without moving the grid's current row: a current
  // row set while the tab is hidden scrolls the grid to it when the tab is
  // shown, and a record's titles are read from the first.
  for (int i = 1; i <= kTitleRows; ++i)
    TGrid->SetTextMatrix(i, 1, QString::fromStdString(vb::NzStr(RecordRow->GetField("title" + std::to_string(i)))));
  TGrid->SetRow(0);
  TGrid->SetTopRow(1);

  try {
    const std::string stored = vb::NzStr(RecordRow->GetField("Picture"));
    if (vb::Trim(stored).empty()) {
      Picture_Box->clear();
      return;
    }
    if (!ShowPicture(Picture_Box, stored)) throw vb::RuntimeError(vb::errFileNotFound, "File not found");
    // Fit the picture into the tab, keeping its proportions.
    const QSize room = Picture_Box->size().expandedTo(QSize(200, 150));
    const QPixmap shown = Picture_Box->pixmap();
    if (shown.width() > room.width() || shown.height() > room.height())
      Picture_Box->setPixmap(shown.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  } catch (const vb::RuntimeError&) {
    // A picture that cannot be shown (moved, on a disk not mounted, not a
    // picture) shows nothing; the record keeps its reference, which only
    // the picture delete command clears.
    Picture_Box->clear();
  }
}

void NewMain_Form::CollectArtistsAndTitles(int rowCount) {
  rowCount = std::clamp(rowCount, 0, kTitleRows);
  for (int i = 0; i <= 3; ++i) TrackArtists[i].clear();
  int n = 0;
  for (int i = 0; i <= 3; ++i) {
    // A box holding only blanks counts as empty, like a blank title row.
    const std::string text = vb::Trim(Artist[i]->currentText().toStdString());
    if (!text.empty()) TrackArtists[n++] = text;
  }
  for (int i = 1; i <= rowCount; ++i) TrackTitles[i].clear();
  n = 1;
  for (int r = 1; r <= rowCount; ++r) {
    TGrid->SetRow(r);
    const std::string text = vb::Trim(TGrid->Text().toStdString());
    if (!text.empty()) TrackTitles[n++] = text;
  }
  TGrid->SetRow(1);
}

void NewMain_Form::WriteArtistsAndTitles() {
  for (int i = 1; i <= 4; ++i)
    RecordRow->SetField("artist" + std::to_string(i), vb::Variant(vb::Left(TrackArtists[i - 1], 50)));
  for (int i = 1; i <= kTitleRows; ++i)
    RecordRow->SetField("title" + std::to_string(i), vb::Variant(vb::Left(TrackTitles[i], 60)));
}

void NewMain_Form::UpdateAddTitleButton() {
  // All forty rows used: no room for another title.
  AddButton->setEnabled(TGrid->TextMatrix(kTitleRows, 1).isEmpty());
}

}  // namespace tvn
