#include "core/FieldCaptions.h"

#include <QEvent>
#include <QLabel>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

class CaptionClickFilter : public QObject {
 public:
  CaptionClickFilter(QLabel* label, std::function<void()> onDoubleClick)
      : QObject(label), onDoubleClick_(std::move(onDoubleClick)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonDblClick) return false;
    onDoubleClick_();
    return true;
  }

 private:
  std::function<void()> onDoubleClick_;
};

}  // namespace

namespace {

// Keeps one caption label within its line width whatever text it is given:
// a caption that fits stays one plain line (a wrapping label would ask its
// window for the height of a caption broken at every word), a longer one
// wraps at the line width. The label's window asks its layout again after
// every change of a caption's text, which is when the label is fitted.
class CaptionWidthKeeper : public QObject {
 public:
  explicit CaptionWidthKeeper(QLabel* label) : QObject(label), label_(label) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::LayoutRequest) Fit();
    return false;
  }
  void Fit() {
    const int line = label_->fontMetrics().horizontalAdvance(QString(kCaptionLineChars, QLatin1Char('x')));
    const bool wraps = label_->fontMetrics().horizontalAdvance(label_->text()) > line;
    if (label_->maximumWidth() != line) label_->setMaximumWidth(line);
    if (label_->wordWrap() != wraps) label_->setWordWrap(wraps);
    const int least = wraps ? line : 0;
    if (label_->minimumWidth() != least) label_->setMinimumWidth(least);
  }

 private:
  QLabel* label_;
};

}  // namespace

void RenameFieldCaption(const dao::RecordsetPtr& captions, const std::string& fieldName, QLabel* label) {
  // The caption table's text fields are 50 characters wide: the box takes
  // no more than is stored.
  constexpr int kCaptionWidth = 50;
  const std::string answer = vb::InputBox("Enter the desired field label", "Caption Modify",
                                          label->text().toStdString(), kCaptionWidth);
  if (answer.empty()) return;
  // A caption of blanks leaves a label that can hardly be found to click again.
  if (QString::fromStdString(answer).trimmed().isEmpty()) {
    vb::MsgBox("Please enter a caption; the caption was not changed.", vb::vbOKOnly + vb::vbExclamation);
    return;
  }
  const std::string caption = vb::Left(answer, kCaptionWidth);
  try {
    if (!captions || !captions->IsOpen())
      throw vb::RuntimeError(91, "Object variable or With block variable not set");
    dao::Recordset& rs = *captions;
    const bool hasRow = rs.RecordCount() > 0;
    if (hasRow) {
      rs.MoveFirst();
      rs.Edit();
    } else {
      rs.AddNew();
    }
    try {
      rs.SetField(fieldName, caption);
      rs.Update();
    } catch (...) {
      rs.CancelUpdate();
      throw;
    }
  } catch (const vb::RuntimeError& e) {
    // The caption stays as it was.
    vb::TellError(e);
    return;
  }
  label->setText(QString::fromStdString(caption));
  // Fitted at once, not only when the window next lays itself out.
  for (QObject* child : label->children())
    if (auto* keeper = dynamic_cast<CaptionWidthKeeper*>(child)) keeper->Fit();
}

void OnCaptionDoubleClick(QLabel* label, std::function<void()> onDoubleClick) {
  label->installEventFilter(new CaptionClickFilter(label, std::move(onDoubleClick)));
  KeepCaptionNarrow(label);
}


void KeepCaptionNarrow(QLabel* label) {
  // A caption may hold 50 characters: at full length beside its field it
  // would take the field's room (and that of every field of its column).
  auto* keeper = new CaptionWidthKeeper(label);
  keeper->Fit();
  if (QWidget* holder = label->parentWidget()) holder->installEventFilter(keeper);
}

}  // namespace tvn
