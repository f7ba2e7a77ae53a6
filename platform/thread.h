// A thread of the program's own and the event that tells it to stop, each owned by one object.
//
// Thread   CreateThread (default stack, starts at once) running `body` / the wait for its end /
//          CloseHandle. Join (and the destructor) waits until the body has returned, answering
//          meanwhile the messages other threads send to the joining one: a thread that shows or
//          updates a window of the joining thread waits for those answers, and would otherwise
//          never end.
// Event    CreateEventW (manual reset, not set) / CloseHandle; Wait gives true once it is set.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace lumora::platform {

class Thread {
public:
    Thread() = default;
    explicit Thread(std::function<void()> body) {
        auto owned = std::make_unique<std::function<void()>>(std::move(body));
        handle_ = CreateThread(nullptr, 0, Start, owned.get(), 0, nullptr);
        if (handle_) owned.release();  // the thread frees it
    }
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool started() const { return handle_ != nullptr; }
    void Join() {
        if (!handle_) return;
        while (MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // answers the sent messages
        }
        CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    static DWORD WINAPI Start(void* parameter) {
        const std::unique_ptr<std::function<void()>> body(
            static_cast<std::function<void()>*>(parameter));
        (*body)();
        return 0;
    }

    HANDLE handle_ = nullptr;
};

class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (handle_) CloseHandle(handle_);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set() {
        if (handle_) SetEvent(handle_);
    }
    // True when the event is set within the milliseconds (without an event: after them).
    bool Wait(DWORD milliseconds) const {
        if (!handle_) {
            Sleep(milliseconds);
            return false;
        }
        return WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
    }

private:
    HANDLE handle_;
};

}  // namespace lumora::platform
