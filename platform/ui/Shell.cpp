#include "platform/ui/Shell.h"

#include <QDesktopServices>

namespace ui {
namespace {

UrlOpener& Opener() {
    static UrlOpener opener;
    return opener;
}

}  // namespace

bool ShellOpen(const QUrl& url) {
    if (const UrlOpener& opener = Opener()) return opener(url);
    return QDesktopServices::openUrl(url);
}

UrlOpener SetUrlOpener(UrlOpener opener) { return std::exchange(Opener(), std::move(opener)); }

}  // namespace ui
