#include "view/qt_text.h"

#include "machine/encoding.h"

namespace view {

QString ToQString(std::string_view text) {
  const std::string utf8 = machine::Windows1252ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool FitsProgramText(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return machine::Utf8ToWindows1252(std::string_view(utf8.constData(), utf8.size())).has_value();
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  if (auto whole = machine::Utf8ToWindows1252(std::string_view(utf8.constData(), utf8.size())))
    return *whole;
  // Character by character, so that one unknown character does not lose the rest.
  std::string out;
  for (char32_t code : text.toStdU32String()) {
    const QByteArray one = QString::fromUcs4(&code, 1).toUtf8();
    auto converted = machine::Utf8ToWindows1252(std::string_view(one.constData(), one.size()));
    out += converted ? *converted : std::string("?");
  }
  return out;
}

QString ToQStringLines(std::string_view text) {
  QString out = ToQString(text);
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return out;
}

std::string FromQStringLines(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return FromQString(crlf);
}

}  // namespace view
