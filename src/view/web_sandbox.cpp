#include "view/web_sandbox.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QStringList>

namespace view {

namespace {

constexpr const char* kDisableSandbox = "QTWEBENGINE_DISABLE_SANDBOX";
constexpr const char* kChromiumFlags = "QTWEBENGINE_CHROMIUM_FLAGS";

// Chromium switches that leave pages outside the sandbox.
bool SwitchesSandboxOff(const QString& text) {
  return text.contains(QLatin1String("no-sandbox")) ||
         text.contains(QLatin1String("single-process"));
}

// A host as the engine canonicalises it: an IPv4 address in four decimal parts, an IPv6
// address compressed and without brackets.
bool IsLoopbackAddress(const QString& host) {
  if (host == QLatin1String("::1"))
    return true;
  const QStringList parts = host.split(QLatin1Char('.'));
  if (parts.size() != 4)
    return false;
  for (const QString& part : parts) {
    if (part.isEmpty() || part.size() > 3)
      return false;
    for (const QChar c : part) {
      if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        return false;
    }
    if (part.toInt() > 255)
      return false;
  }
  return parts.front() == QLatin1String("127");
}

}  // namespace

void PrepareWebEngine() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (geteuid() == 0)
    qputenv(kDisableSandbox, "1");
}

bool WebEngineSandboxed() {
  if (geteuid() == 0 || qEnvironmentVariableIsSet(kDisableSandbox))
    return false;
  if (SwitchesSandboxOff(qEnvironmentVariable(kChromiumFlags)))
    return false;
  // The engine also takes Chromium switches from the program's own command line.
  const QStringList arguments = QCoreApplication::arguments();
  for (const QString& argument : arguments) {
    if (SwitchesSandboxOff(argument))
      return false;
  }
  return true;
}

bool IsLocalPage(const QUrl& url) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("file"))
    return url.host().isEmpty();
  if (scheme == QLatin1String("about") || scheme == QLatin1String("data"))
    return true;
  // A blob belongs to the page that made it.
  if (scheme == QLatin1String("blob"))
    return IsLocalPage(QUrl(url.path()));
  return IsLoopbackAddress(url.host());
}

}  // namespace view
