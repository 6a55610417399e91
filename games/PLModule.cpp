#include "games/PLModule.h"

#include <QMetaProperty>

#include "platform/runtime/Errors.h"

namespace pl {

namespace {
constexpr int errNoSuchMember = 438;
const char* const NoSuchMemberText = "Object doesn't support this property or method";
}  // namespace

PLGlobals& PL() {
  static PLGlobals globals;
  return globals;
}

void SetLateBound(QObject* object, const char* property, int value) {
  if (!object) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  const QMetaObject* meta = object->metaObject();
  const QString wanted = QString::fromLatin1(property);
  for (int i = 0; i < meta->propertyCount(); ++i) {
    QMetaProperty p = meta->property(i);
    if (wanted.compare(QString::fromLatin1(p.name()), Qt::CaseInsensitive) == 0 && p.isWritable()) {
      p.write(object, value);
      return;
    }
  }
  throw vb::RuntimeError(errNoSuchMember, NoSuchMemberText);
}

QObject* LateBoundChild(QObject* object, const char* name) {
  if (!object) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  const QString wanted = QString::fromLatin1(name);
  for (QObject* child : object->findChildren<QObject*>()) {
    if (wanted.compare(child->objectName(), Qt::CaseInsensitive) == 0) return child;
  }
  throw vb::RuntimeError(errNoSuchMember, NoSuchMemberText);
}

}  // namespace pl
