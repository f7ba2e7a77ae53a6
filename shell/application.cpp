#include "shell/application.h"

#include "platform/message_loop.h"

namespace lumora {

Application& TheApplication() {
    static Application application;
    return application;
}

void Application::CloseForm(HWND form) {
    if (IsMainWindow(form))
        DestroyWindow(form);
    else
        ShowWindow(form, SW_HIDE);
}

void Application::FormDestroyed(HWND form) {
    if (IsMainWindow(form)) PostQuitMessage(0);
}

int Application::Run() {
    if (!mainWindow_) return 0;
    ShowWindow(mainWindow_, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root && SendMessageW(root, platform::PreTranslateMessageId, 0,
                                 reinterpret_cast<LPARAM>(&message)))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace lumora
