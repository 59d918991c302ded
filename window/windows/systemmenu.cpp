// Windows: the entry is appended to the window's system menu, and the
// WM_SYSCOMMAND it sends is taken from the native events before Qt sees it.
#include "window/systemmenu.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <windows.h>

namespace rotamet {

namespace {

// System-menu commands of a program's own are below 0xF000, multiples of 16.
constexpr UINT kCommand = 0x0110;

class SystemCommand : public QAbstractNativeEventFilter {
public:
    SystemCommand(QWidget &window, std::function<void()> chosen)
        : window_(&window), hwnd_(reinterpret_cast<HWND>(window.winId())), chosen_(std::move(chosen))
    {
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG" || !window_)
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->hwnd != hwnd_ || msg->message != WM_SYSCOMMAND || (msg->wParam & 0xFFF0) != kCommand)
            return false;
        // After the menu's own loop has ended.
        QTimer::singleShot(0, window_.data(), chosen_);
        return true;
    }

private:
    QPointer<QWidget> window_;
    HWND hwnd_;
    std::function<void()> chosen_;
};

}  // namespace

void addToSystemMenu(QWidget &window, const QString &text, std::function<void()> chosen)
{
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (!menu)
        return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
    // Lives as long as the program; it does nothing once the window is gone.
    QCoreApplication::instance()->installNativeEventFilter(new SystemCommand(window, std::move(chosen)));
}

}  // namespace rotamet
