// The data side of the helper module: lookup choosers, section flag boxes,
// distinct-value combos, the quick-display grid and record pictures.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <set>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

#include "core/AppState.h"
#include "core/TavolinModule.h"

#include "core/AVQDForm.h"
#include "platform/dao/RowStream.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/TextFold.h"

namespace tvn {

namespace {

constexpr std::array<const char*, 6> kSectionFlags = {"cas", "cd", "DVD", "lp", "VT", "scd"};

template <class T>
T* RequireControl(QWidget* window, const QString& name) {
  if (T* c = forms::FindControl<T>(window, name)) return c;
  throw vb::RuntimeError(438, "Object doesn't support this property or method (no control " + name.toStdString() + ")");
}

QCheckBox* RequireUseWithBox(QWidget* window, const char* boxes, int index) {
  if (auto* c = forms::ControlArrayItem<QCheckBox>(window, QString::fromLatin1(boxes), index)) return c;
  throw vb::RuntimeError(340, "Control array element '" + std::to_string(index) + "' doesn't exist");
}

bool FlagIsTrue(const vb::Variant& v) {
  switch (v.type()) {
    case vb::VarType::Boolean:
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long:
      return v.rawInt() != 0;
    case vb::VarType::Double:
      return v.rawDouble() != 0.0;
    case vb::VarType::String: {
      const QString s = QString::fromStdString(v.rawString()).trimmed();
      if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
      bool ok = false;
      const double d = s.toDouble(&ok);
      return ok && d != 0.0;
    }
    default:
      return false;
  }
}

QString CellText(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return {};
  if (v.isString()) return QString::fromStdString(v.rawString());
  return QString::fromStdString(vb::NzStr(v));
}

// "mm/dd/yyyy" of a date serial (days since 30 December 1899).
QString DateText(double serial) {
  // Serial 25569 is 1 January 1970; civil date from the days since then.
  const long z = long(std::floor(serial)) - 25569 + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long y = yoe + era * 400;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const long d = doy - (153 * mp + 2) / 5 + 1;
  const long m = mp < 10 ? mp + 3 : mp - 9;
  if (m <= 2) ++y;
  if (y >= 0 && y <= 9999) {
    // Written digit by digit: a full listing formats one date per row.
    const char16_t text[10] = {char16_t(u'0' + m / 10),   char16_t(u'0' + m % 10),         u'/',
                               char16_t(u'0' + d / 10),   char16_t(u'0' + d % 10),         u'/',
                               char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10),
                               char16_t(u'0' + y / 10 % 10), char16_t(u'0' + y % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
  }
  return QStringLiteral("%1/%2/%3")
      .arg(m, 2, 10, QLatin1Char('0'))
      .arg(d, 2, 10, QLatin1Char('0'))
      .arg(y, 4, 10, QLatin1Char('0'));
}

QString AcquiredText(const vb::Variant& v) {
  if (v.isDate()) return DateText(v.rawDouble());
  if (v.isString() && vb::IsDate(v)) {
    const vb::Variant d = vb::CDate(v);
    if (d.isDate()) return DateText(d.rawDouble());
  }
  return {};
}

QString Canonical(const QString& path) {
  const QString c = QFileInfo(path).canonicalFilePath();
  return c.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : c;
}

}  // namespace

// ---- lookup choosers and flags

void FillSelectItemCombo(const std::string& fieldName, QWidget* window, dao::Recordset& rs) {
  QComboBox* combo = RequireControl<QComboBox>(window, QStringLiteral("Select_Item_Combo"));
  const dao::Recordset::BookmarkType mark = rs.Bookmark();
  combo->clear();
  rs.MoveFirst();
  std::vector<std::string> names;
  while (!rs.Eof()) {
    names.push_back(CellText(rs.GetField(fieldName)).toStdString());
    rs.MoveNext();
  }
  // The stored index orders by code, which puts "Électro" after "Rock"; the
  // list reads in the letter order of the title list and the letter bar.
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return vb::CompareLetters(a, b) < 0; });
  QStringList items;
  items.reserve(qsizetype(names.size()));
  for (const std::string& n : names) items << QString::fromStdString(n);
  combo->addItems(items);
  if (!items.isEmpty()) {
    if (combo->isEditable()) combo->setEditText(items.first());
    else combo->setCurrentIndex(0);
  }
  rs.SetBookmark(mark);
}

const std::vector<std::string>& MediaSectionFlags() {
  static const std::vector<std::string> flags(kSectionFlags.begin(), kSectionFlags.end());
  return flags;
}

void LoadUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs) {
  LoadUseWithBoxes(firstIndex, window, rs, MediaSectionFlags(), "Artist_UseWith");
}

void SaveUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs, bool adding) {
  SaveUseWithBoxes(firstIndex, window, rs, adding, MediaSectionFlags(), "Artist_UseWith");
}

void LoadUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs,
                      const std::vector<std::string>& flags, const char* boxes) {
  for (size_t i = 0; i < flags.size(); ++i) {
    QCheckBox* box = RequireUseWithBox(window, boxes, firstIndex + int(i));
    if (FlagIsTrue(rs.GetField(flags[i]))) box->setCheckState(Qt::Checked);
  }
}

void SaveUseWithBoxes(std::int16_t firstIndex, QWidget* window, dao::Recordset& rs, bool adding,
                      const std::vector<std::string>& flags, const char* boxes) {
  std::vector<bool> ticked(flags.size());
  for (size_t i = 0; i < flags.size(); ++i)
    ticked[i] = RequireUseWithBox(window, boxes, firstIndex + int(i))->checkState() == Qt::Checked;
  if (adding) rs.AddNew();
  else rs.Edit();
  for (size_t i = 0; i < flags.size(); ++i) rs.SetField(flags[i], vb::Variant(bool(ticked[i])));
}

void FillDistinctCombo(QComboBox* combo, const std::string& fieldName, std::string& filter) {
  combo->clear();
  const std::string n = vb::Trim(std::to_string(int(AVData()->SectionNumber())));
  if (filter.empty()) {
    filter = " where sectionnumber = " + n + " and " + fieldName + " <> '' ";
  } else {
    filter += " and (sectionnumber = " + n + " and " + fieldName + " <> '') ";
  }
  // The values of a large section lie all over the file: they are read on
  // a connection of their own while the windows stay painted.
  vb::BusyScope busy;
  dao::RowStream rows(App().CollectionDB,
                      "select distinct " + fieldName + " from mediadata " + filter + "order by " + fieldName,
                      [&busy] { busy.Tick(); }, false);
  QStringList items;
  while (rows.Next()) items << CellText(rows.Field(fieldName));
  combo->addItems(items);
}

// ---- quick display

namespace {

QString QuickCellText(const vb::Variant& v) {
  switch (v.type()) {
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long: return QString::number(v.rawInt());
    default: return CellText(v);
  }
}

}  // namespace

QString QuickListCellText(const vb::Variant& value, bool date) {
  return date ? AcquiredText(value) : QuickCellText(value);
}

void FillQuickDisplayGrid(forms::FlexGrid& grid, dao::Database& db) {
  FillQuickList(grid, db.shared_from_this(), MediaQuickList());
}

void FillQuickDisplayGrid() {
  if (!App().CollectionDB) return;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() != QLatin1String("AVQDForm")) continue;
    if (auto* form = qobject_cast<AVQDForm*>(w)) {
      // After a save only the order of the rows is read again; the rows
      // themselves are read as the grid shows them.
      form->RefillList();
      return;
    }
  }
}

// ---- pictures

std::string PictureReference(const std::string& fileName) { return "pics\\" + fileName; }

std::string PictureFolder() {
  const std::string program = vb::ProgramFolder();
  const QDir dir(QString::fromStdString(program));
  for (const QString& entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
    if (entry.compare(QLatin1String("pics"), Qt::CaseInsensitive) == 0) return dir.filePath(entry).toStdString();
  }
  return program + "/PICS";
}

bool IsInPictureFolder(const std::string& path) {
  const QFileInfo file(QString::fromStdString(path));
  const QString folder = Canonical(file.absolutePath());
  if (folder == Canonical(QString::fromStdString(PictureFolder()))) return true;
  // Another folder of the same name in other letter case still counts.
  const QFileInfo dir(folder);
  return dir.fileName().compare(QLatin1String("pics"), Qt::CaseInsensitive) == 0 &&
         Canonical(dir.absolutePath()) == Canonical(QString::fromStdString(vb::ProgramFolder()));
}

std::string FreePictureName(const std::string& folder, const std::string& fileName) {
  const QDir dir(QString::fromStdString(folder));
  std::set<QString> taken;
  for (const QString& e : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
    taken.insert(e.toCaseFolded());
  const QString name = QString::fromStdString(fileName);
  if (!taken.count(name.toCaseFolded())) return fileName;
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString base = dot > 0 ? name.left(dot) : name;
  const QString ext = dot > 0 ? name.mid(dot) : QString();
  for (int n = 2;; ++n) {
    const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(ext);
    if (!taken.count(candidate.toCaseFolded())) return candidate.toStdString();
  }
}

std::string CopyPictureIntoFolder(const std::string& source) {
  const QString folder = QString::fromStdString(PictureFolder());
  if (!QDir().mkpath(folder)) throw vb::RuntimeError(vb::errPathNotFound, "Path not found");
  const std::string name = FreePictureName(folder.toStdString(), QFileInfo(QString::fromStdString(source)).fileName().toStdString());
  // QFile::copy never overwrites an existing file.
  if (!QFile::copy(QString::fromStdString(source), QDir(folder).filePath(QString::fromStdString(name))))
    throw vb::RuntimeError(vb::errPathFileAccess, "Path/File access error");
  return name;
}

std::string PicturePath(const std::string& storedReference) {
  const std::string stored = vb::Trim(storedReference);
  if (stored.empty()) return {};
  std::string relative = stored;
  while (!relative.empty() && (relative.front() == '/' || relative.front() == '\\')) relative.erase(0, 1);
  if (relative.empty()) return {};
  // The kept name's "\" separate its parts; the data folder's name is its own.
  const std::string path = vb::ResolveIn(vb::ProgramFolder(), relative);
  return QFileInfo(QString::fromStdString(path)).isFile() ? path : std::string();
}

bool ShowPicture(QWidget* pictureBox, const std::string& storedReference) {
  auto* label = qobject_cast<QLabel*>(pictureBox);
  if (!label) return false;
  const std::string path = PicturePath(storedReference);
  QImage image;
  if (!path.empty()) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(true);
    image = reader.read();
  }
  if (image.isNull()) {
    label->clear();
    return false;
  }
  label->setPixmap(QPixmap::fromImage(image));
  return true;
}

void DeletePictureOfRecord(dao::Recordset& rs) {
  rs.Edit();
  try {
    rs.SetField("Picture", vb::Variant(""));
    rs.Update();
  } catch (...) {
    rs.CancelUpdate();
    throw;
  }
}

int TextFieldWidth(const dao::Recordset& rs, const std::string& field) {
  for (int i = 0; i < rs.FieldCount(); ++i) {
    const dao::FieldDef info = rs.FieldInfo(i);
    if (vb::CompareText(info.Name, field) == 0) return info.Type == dao::dbText ? info.Size : 0;
  }
  return 0;
}

namespace {

// "*." and the extension with each letter in either case: the file dialog
// compares names as they are written, and pictures come as ".JPG" from
// cameras as often as ".jpg".
std::string AnyCasePattern(const std::string& extension) {
  std::string pattern = "*.";
  for (char c : extension) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    pattern += lower == upper ? std::string(1, c) : std::string("[") + upper + lower + "]";
  }
  return pattern;
}

}  // namespace

std::string PictureFileFilter() {
  return "JPG (" + AnyCasePattern("jpg") + " " + AnyCasePattern("jpeg") + ");;BMP (" + AnyCasePattern("bmp") +
         ");;GIF Files (" + AnyCasePattern("gif") + ")";
}

void LoadPictureForRecord(QWidget* window, dao::Recordset& rs) {
  try {
    std::string fileName = "MyPic.gif";
    const vb::Variant stored = rs.GetField("Picture");
    if (!stored.isNull()) fileName = vb::NzStr(stored);
    if (vb::Trim(fileName).empty()) fileName = "MyPic.jpg";
    const std::string program = vb::ProgramFolder();
    // The dialog opens on the stored picture, found in whatever letter case.
    const std::string chosen =
        vb::GetOpenFileName("Open", PictureFileFilter(), vb::ResolveIn(program, fileName));
    if (vb::Trim(chosen).empty()) return;  // Cancel

    std::string name = QFileInfo(QString::fromStdString(chosen)).fileName().toStdString();
    if (name.empty()) return;
    const bool inFolder = IsInPictureFolder(chosen);
    // The reference must fit the field whole: a cut name would name
    // another file, or none. Refused before anything is copied.
    const std::string kept = inFolder ? name : FreePictureName(PictureFolder(), name);
    const int width = TextFieldWidth(rs, "Picture");
    if (width > 0 && vb::Len(PictureReference(kept)) > width) {
      vb::MsgBox("The picture's file name \"" + kept + "\" is too long: the record holds at most " +
                     std::to_string(width - vb::Len(PictureReference(""))) +
                     " characters for it. Rename the file and choose it again.",
                 vb::vbOKOnly + vb::vbExclamation);
      return;
    }
    if (!inFolder) {
      const int answer = vb::MsgBox(
          "File must be located in the " + program + "/pics directory. Copy file to the required directory??",
          vb::vbYesNo);
      if (answer != vb::vbYes) return;
      name = CopyPictureIntoFolder(chosen);
    }
    rs.Edit();
    try {
      rs.SetField("Picture", vb::Variant(PictureReference(name)));
      rs.Update();
    } catch (...) {
      if (rs.EditMode() != dao::dbEditNone) rs.CancelUpdate();
      throw;
    }
    vb::ChDir(program);
    ShowPicture(forms::FindControl<QWidget>(window, QStringLiteral("Picture_Box")), PictureReference(name));
  } catch (const vb::RuntimeError& e) {
    // A record another program removed is the caller's to tell, as every
    // command on the record on show tells it.
    if (e.Number() == dao::errRecordDeleted) throw;
  } catch (...) {
    // Every other failure ends the choice quietly; what was stored stays stored.
  }
}

void MoveRecord(dao::Recordset* rs, int direction) {
  if (!rs) return;
  auto attempt = [](auto&& f) {
    try {
      f();
    } catch (const vb::RuntimeError&) {
    }
  };
  if (direction == 1) attempt([&] { rs->MoveNext(); });
  if (direction == 2) attempt([&] { rs->MovePrevious(); });
  attempt([&] {
    if (rs->BOF()) rs->MoveLast();
  });
  attempt([&] {
    if (rs->Eof()) rs->MoveFirst();
  });
}

}  // namespace tvn
