// A stand-in for the host's password library PASSWORD.CPL, for the end-to-end tests only.
//
// Built twice: with the export VerifyScreenSavePwd (undecorated, as the host's library has it)
// and, with LUMORA_WITHOUT_VERIFY, without it. Every event is appended as one line to the file
// that LUMORA_TEST_PASSWORD_LOG names, with the calling thread's cursor display counter:
//   load cursor=N
//   verify owner=TITLE class=CLASS process=same|other cursor=N answer=yes|no tick=T
//   unload cursor=N
// The answer is "yes" (the saver may end) when the file that LUMORA_TEST_PASSWORD_ANSWER names
// begins with 'y', and "no" otherwise (also when there is no such file); it is read at every
// call, so a test can change its mind while the saver runs. T is GetTickCount64 at the answer,
// the clock of the saver's frame log.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace {

void Record(const char* format, ...) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LUMORA_TEST_PASSWORD_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::FILE* file = _wfopen(path, L"a");
    if (!file) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fclose(file);
}

// The counter as it stands: ShowCursor returns the counter after its own change.
int CursorCounter() {
    const int raised = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return raised - 1;
}

#ifndef LUMORA_WITHOUT_VERIFY
bool AnswerIsYes() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LUMORA_TEST_PASSWORD_ANSWER", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::FILE* file = _wfopen(path, L"r");
    if (!file) return false;
    const int first = std::fgetc(file);
    std::fclose(file);
    return first == 'y';
}
#endif

}  // namespace

#ifndef LUMORA_WITHOUT_VERIFY
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    wchar_t title[64] = L"";
    wchar_t className[64] = L"";
    GetWindowTextW(owner, title, 64);
    GetClassNameW(owner, className, 64);
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    const bool yes = AnswerIsYes();
    Record("verify owner=%ls class=%ls process=%s cursor=%d answer=%s tick=%llu\n", title,
           className, process == GetCurrentProcessId() ? "same" : "other", CursorCounter(),
           yes ? "yes" : "no", static_cast<unsigned long long>(GetTickCount64()));
    return yes ? TRUE : FALSE;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Record("load cursor=%d\n", CursorCounter());
    if (reason == DLL_PROCESS_DETACH) Record("unload cursor=%d\n", CursorCounter());
    return TRUE;
}
