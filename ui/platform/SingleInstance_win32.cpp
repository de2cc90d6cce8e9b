// The window of the key makes a named mutex and a hidden message-only window named after the key;
// a later start finds the mutex, sends its files to that window with WM_COPYDATA and learns from
// the answer that they were taken.
#include "SingleInstance.h"

#include <QTimer>

#include <windows.h>

namespace {

constexpr int ConnectAttempts = 50;
constexpr DWORD AttemptPauseMs = 100;
constexpr UINT AnswerTimeoutMs = 5000;
// Marks a WM_COPYDATA of ours among any others.
constexpr ULONG_PTR FilesMessage = 0x4B564446; // "KVDF"
constexpr wchar_t WindowClass[] = L"KvaderonInstance";

std::wstring Wide(const QString& AText) {
    return AText.toStdWString();
}

} // namespace

struct TSingleInstance::TState {
    std::wstring Key;
    HANDLE Mutex = nullptr;
    HWND Window = nullptr;
    TFilesHandler OnFiles;
    // Receives the handler's calls on this thread's event loop.
    QObject Receiver;

    // The files are NUL-separated UTF-16 names. The answer (TRUE) comes at once; the handler
    // runs after, so the sender never waits for dialogs the files may bring up.
    static LRESULT CALLBACK WindowProc(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam) {
        auto* state = reinterpret_cast<TState*>(::GetWindowLongPtrW(AWindow, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(ALParam);
        if (AMessage != WM_COPYDATA || state == nullptr || data->dwData != FilesMessage)
            return ::DefWindowProcW(AWindow, AMessage, AWParam, ALParam);
        const QString joined = QString::fromWCharArray(static_cast<const wchar_t*>(data->lpData),
                                                       qsizetype(data->cbData / sizeof(wchar_t)));
        const QStringList files = joined.split(QChar(u'\0'), Qt::SkipEmptyParts);
        QTimer::singleShot(0, &state->Receiver, [state, files] { state->OnFiles(files); });
        return TRUE;
    }

    HWND FindHiddenWindow() const { return ::FindWindowExW(HWND_MESSAGE, nullptr, WindowClass, Key.c_str()); }

    void MakeHiddenWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = WindowClass;
        ::RegisterClassW(&windowClass); // fails harmlessly when registered before
        Window = ::CreateWindowExW(0, WindowClass, Key.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        if (Window != nullptr)
            ::SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    static bool SendFiles(HWND AWindow, const QStringList& AFiles) {
        std::wstring joined;
        for (const QString& file : AFiles)
            joined += Wide(file) + L'\0';
        COPYDATASTRUCT data{FilesMessage, DWORD(joined.size() * sizeof(wchar_t)), joined.data()};
        // The running window may bring itself to the front.
        DWORD process = 0;
        ::GetWindowThreadProcessId(AWindow, &process);
        ::AllowSetForegroundWindow(process);
        DWORD_PTR answer = 0;
        return ::SendMessageTimeoutW(AWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                     AnswerTimeoutMs, &answer) != 0 &&
               answer == TRUE;
    }
};

TSingleInstance::TSingleInstance(const QString& AKey) : FState(std::make_unique<TState>()) {
    FState->Key = Wide(AKey);
}

TSingleInstance::~TSingleInstance() {
    if (FState->Window != nullptr)
        ::DestroyWindow(FState->Window);
    if (FState->Mutex != nullptr)
        ::CloseHandle(FState->Mutex);
}

bool TSingleInstance::ClaimOrHandOver(const QStringList& AFiles, TFilesHandler AOnFiles) {
    // "Local\": the user's own session.
    const std::wstring mutexName = L"Local\\" + FState->Key;
    for (int attempt = 0; attempt < ConnectAttempts; ++attempt) {
        const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
        if (mutex != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            FState->Mutex = mutex;
            FState->OnFiles = std::move(AOnFiles);
            FState->MakeHiddenWindow();
            return true;
        }
        if (mutex != nullptr)
            ::CloseHandle(mutex);
        // The window of the key may not have made its hidden window yet.
        if (const HWND window = FState->FindHiddenWindow(); window != nullptr && TState::SendFiles(window, AFiles))
            return false;
        ::Sleep(AttemptPauseMs);
    }
    return true;
}
