#pragma once
// The web engine's sandbox. Chromium runs its pages in a sandbox that it cannot set up for the
// superuser, so as root the engine runs without one. An engine without its sandbox opens only
// pages from this computer: a remote page could otherwise reach the whole machine through any
// flaw of the engine.

#include <QUrl>

namespace view {

// Before the QApplication exists: the engine's shared drawing contexts, and, for the superuser,
// the engine told to start without the sandbox it cannot have.
void PrepareWebEngine();

// True when the engine's pages run in the sandbox: not for the superuser, nor when the
// environment or the command line switches it off.
bool WebEngineSandboxed();

// What an engine without its sandbox may open: files of this computer, pages without an address
// of their own (about:, data:, blob:), and addresses written as a loopback address (127.0.0.0/8,
// ::1). A host name is not trusted to be local, "localhost" included.
bool IsLocalPage(const QUrl& url);

}  // namespace view
