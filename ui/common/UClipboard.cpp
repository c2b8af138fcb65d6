#include "ui/common/UClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
constexpr const char* CopyType = "application/x-lurvik-studio-copy";
}

void PutCopy(const lvk::TCopyBytes& Bytes, const QString& Text) {
  auto* Data = new QMimeData;
  Data->setData(CopyType, QByteArray(reinterpret_cast<const char*>(Bytes.data()), static_cast<qsizetype>(Bytes.size())));
  Data->setText(Text);
  QGuiApplication::clipboard()->setMimeData(Data);
}

lvk::TCopyBytes TakeCopy() {
  const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
  if (!Data || !Data->hasFormat(CopyType)) return {};
  const QByteArray Bytes = Data->data(CopyType);
  return lvk::TCopyBytes(Bytes.begin(), Bytes.end());
}
