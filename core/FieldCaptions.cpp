#include "core/FieldCaptions.h"

#include <QEvent>
#include <QLabel>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
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
    vb::ShowError(e.Number(), e.Description());
    return;
  }
  label->setText(QString::fromStdString(caption));
}

void OnCaptionDoubleClick(QLabel* label, std::function<void()> onDoubleClick) {
  label->installEventFilter(new CaptionClickFilter(label, std::move(onDoubleClick)));
  KeepCaptionNarrow(label);
}

void KeepCaptionNarrow(QLabel* label) {
  // A caption may hold 50 characters: at full length beside its field it
  // would take the field's room (and that of every field of its column).
  // Long captions wrap onto more lines instead.
  label->setWordWrap(true);
  label->setMaximumWidth(label->fontMetrics().horizontalAdvance(QString(kCaptionLineChars, QLatin1Char('x'))));
}

}  // namespace tvn
