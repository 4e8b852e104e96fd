#include "platform/system.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_function.h"

#include <sddl.h>

#include <optional>
#include <vector>

namespace win {

namespace {

// The mutex is named for the user the copy runs as: a name anyone could take
// first would let any process of the session keep Tovix from starting.
std::string runningMarkName(const std::string& userSid) { return "Tovix.Running." + userSid; }

// Who this process runs as, read from its token: the user's SID, as text
// too, and where Windows has them, its integrity level. Empty where the token
// cannot be read.
struct Token {
  Token() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return;
    const KernelHandle token(opened);
    user = read(token.get(), TokenUser);
    integrity = read(token.get(), TokenIntegrityLevel);
    char* text = nullptr;
    if (!user.empty() && ConvertSidToStringSidA(userSid(), &text)) {
      const LocalMemory<char*> owned(text);
      userSidText = owned.get();
    }
  }
  PSID userSid() const { return reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid; }
  PSID integritySid() const { return reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(integrity.data())->Label.Sid; }

  std::vector<unsigned char> user;
  std::vector<unsigned char> integrity;
  std::string userSidText;

 private:
  static std::vector<unsigned char> read(HANDLE token, TOKEN_INFORMATION_CLASS what) {
    DWORD size = 0;
    GetTokenInformation(token, what, nullptr, 0, &size);
    std::vector<unsigned char> data(size);
    if (size == 0 || !GetTokenInformation(token, what, data.data(), size, &size)) data.clear();
    return data;
  }
};

// Medium integrity, or the process's own level where that is lower: a copy
// running elevated and one that is not share one boundary, and no process
// below medium can create a namespace inside it.
class BoundaryLabel {
 public:
  explicit BoundaryLabel(const Token& token) {
    if (token.integrity.empty()) return;
    PSID own = token.integritySid();
    const DWORD level = *GetSidSubAuthority(own, *GetSidSubAuthorityCount(own) - 1u);
    if (level < SECURITY_MANDATORY_MEDIUM_RID) {
      sid_ = own;
      return;
    }
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_MANDATORY_LABEL_AUTHORITY;
    if (AllocateAndInitializeSid(&authority, 1, SECURITY_MANDATORY_MEDIUM_RID, 0, 0, 0, 0, 0, 0, 0, &medium_)) {
      sid_ = medium_;
    }
  }
  ~BoundaryLabel() {
    if (medium_ != nullptr) FreeSid(medium_);
  }
  BoundaryLabel(const BoundaryLabel&) = delete;
  BoundaryLabel& operator=(const BoundaryLabel&) = delete;

  PSID sid() const { return sid_; }

 private:
  PSID medium_ = nullptr;
  PSID sid_ = nullptr;
};

// A private namespace bounded by the user's SID (Windows Vista and later)
// and, from Windows 7, by an integrity label: only a process of that user,
// at medium integrity or above, can create it, so nobody else can squat on
// the names inside. Its functions are looked up at run time; on older
// Windows there is no namespace.
class UserNamespace {
 public:
  enum class State { Missing, Open, Unreachable };

  explicit UserNamespace(const Token& token) {
    createBoundary_ = kernelFunction<CreateBoundaryFn>("CreateBoundaryDescriptorW");
    addSid_ = kernelFunction<AddSidFn>("AddSIDToBoundaryDescriptor");
    create_ = kernelFunction<CreateNamespaceFn>("CreatePrivateNamespaceW");
    open_ = kernelFunction<OpenNamespaceFn>("OpenPrivateNamespaceW");
    close_ = kernelFunction<CloseNamespaceFn>("ClosePrivateNamespace");
    deleteBoundary_ = kernelFunction<DeleteBoundaryFn>("DeleteBoundaryDescriptor");
    const auto addIntegrity = kernelFunction<AddSidFn>("AddIntegrityLabelToBoundaryDescriptor");
    if (token.userSidText.empty() || !createBoundary_ || !addSid_ || !create_ || !open_ || !close_ ||
        !deleteBoundary_) {
      return;
    }
    // One namespace per session, as the session's own folder of names is.
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    wsprintfW(alias_, L"Tovix.%lu", session);
    boundary_ = createBoundary_(L"Tovix", 0);
    if (boundary_ == nullptr) return;
    if (!addSid_(&boundary_, token.userSid())) return;
    const BoundaryLabel label(token);
    if (addIntegrity != nullptr && label.sid() != nullptr && !addIntegrity(&boundary_, label.sid())) return;
    // A namespace that exists yet cannot be opened was either closed in
    // between by a copy that is ending (try again), or made by a copy of
    // this user's that this one may not open, such as one running elevated:
    // that copy runs. Trying forever is no answer either.
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      handle_ = create_(nullptr, boundary_, alias_);
      if (handle_ == nullptr) {
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;  // no namespace: the session's folder serves
        handle_ = open_(boundary_, alias_);
      }
      if (handle_ != nullptr) {
        state_ = State::Open;
        return;
      }
      if (GetLastError() == ERROR_ACCESS_DENIED) break;
    }
    state_ = State::Unreachable;
  }
  ~UserNamespace() {
    if (handle_ != nullptr) close_(handle_, 0);
    if (boundary_ != nullptr) deleteBoundary_(boundary_);
  }
  UserNamespace(const UserNamespace&) = delete;
  UserNamespace& operator=(const UserNamespace&) = delete;

  State state() const { return state_; }
  // What names an object inside the namespace; its alias is plain ASCII.
  std::string prefix() const {
    std::string prefix;
    for (const WCHAR* c = alias_; *c != 0; ++c) prefix += static_cast<char>(*c);
    return prefix + "\\";
  }

 private:
  using CreateBoundaryFn = HANDLE(WINAPI*)(LPCWSTR, ULONG);
  using AddSidFn = BOOL(WINAPI*)(HANDLE*, PSID);
  using CreateNamespaceFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
  using OpenNamespaceFn = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
  using CloseNamespaceFn = BOOLEAN(WINAPI*)(HANDLE, ULONG);
  using DeleteBoundaryFn = VOID(WINAPI*)(HANDLE);

  static constexpr int kAttempts = 5;

  template <typename Fn>
  static Fn kernelFunction(const char* name) {
    return systemFunction<Fn>("kernel32.dll", name);
  }

  CreateBoundaryFn createBoundary_ = nullptr;
  AddSidFn addSid_ = nullptr;
  CreateNamespaceFn create_ = nullptr;
  OpenNamespaceFn open_ = nullptr;
  CloseNamespaceFn close_ = nullptr;
  DeleteBoundaryFn deleteBoundary_ = nullptr;
  WCHAR alias_[32] = {};
  HANDLE boundary_ = nullptr;
  HANDLE handle_ = nullptr;
  State state_ = State::Missing;
};

// A mutex owned by the copy that runs, for its whole life: inside the
// user's namespace where Windows has one, else in the session's own folder
// of names. A copy that is ending still holds it while it lets go of its hot
// keys and icon; once it has, or once its thread has ended, the mutex is
// free for the next copy.
class RunningMutex {
 public:
  RunningMutex() : namespace_(token_) {
    if (namespace_.state() == UserNamespace::State::Unreachable) return;
    const bool inNamespace = namespace_.state() == UserNamespace::State::Open;
    const std::string name =
        (inNamespace ? namespace_.prefix() : std::string("Local\\")) + runningMarkName(token_.userSidText);
    SetLastError(ERROR_SUCCESS);
    handle_ = KernelHandle(CreateMutexA(nullptr, TRUE, name.c_str()));
    const DWORD error = GetLastError();
    // Made by another copy, perhaps an older one that never owned it.
    owned_ = handle_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
  }
  ~RunningMutex() {
    if (owned_ && handle_) ReleaseMutex(handle_.get());
  }
  RunningMutex(const RunningMutex&) = delete;
  RunningMutex& operator=(const RunningMutex&) = delete;

  bool owned() const { return owned_; }

  // Waits up to timeoutMs for the copy that owns the mutex to let go of it,
  // meanwhile answering what other programs send this thread's windows, as
  // a broadcast to every top-level window.
  bool acquire(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HANDLE mutex = handle_.get();
    while (!owned_ && mutex != nullptr) {
      const DWORD elapsed = GetTickCount() - start;
      if (elapsed >= timeoutMs) break;
      const DWORD result = MsgWaitForMultipleObjects(1, &mutex, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
      if (result == WAIT_OBJECT_0 + 1) {
        MSG sent;
        PeekMessageA(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        continue;
      }
      owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0;
      break;
    }
    return owned_;
  }

 private:
  Token token_;
  UserNamespace namespace_;
  KernelHandle handle_;
  bool owned_ = false;
};

}  // namespace

struct RunningMark::Impl {
  std::optional<RunningMutex> mutex;
};

RunningMark::RunningMark() : impl_(std::make_unique<Impl>()) {}

RunningMark::~RunningMark() = default;

bool RunningMark::previousInstance() {
  if (!impl_->mutex) impl_->mutex.emplace();
  return !impl_->mutex->owned();
}

bool RunningMark::waitForPreviousInstance(unsigned timeoutMs) {
  return impl_->mutex && impl_->mutex->acquire(timeoutMs);
}

}  // namespace win
