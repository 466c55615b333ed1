#pragma once
// The shell's "open" of a web address (the links on the menu and the
// maintenance screen). The running program hands the address to the desktop;
// tests install an opener that records it.

#include <QUrl>
#include <functional>

namespace ui {

using UrlOpener = std::function<bool(const QUrl&)>;

// Opens the address; false when it could not be handed over.
bool ShellOpen(const QUrl& url);

// Installs an opener (an empty one: back to the desktop's) and returns the
// one it replaces.
UrlOpener SetUrlOpener(UrlOpener opener);

}  // namespace ui
