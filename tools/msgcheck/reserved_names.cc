#include "tools/msgcheck/reserved_names.h"

#include <unordered_map>

namespace msgcheck {
namespace {

// The one list of reserved names, by why each is reserved. A macro that is
// not here still cannot break a program silently: the generated header
// stops with an #error naming the key when a macro of its name is defined.
struct ReservedGroup {
  std::string_view why;
  std::string_view names;  // separated by single spaces
};

constexpr ReservedGroup kReserved[] = {
    {"is a C++ keyword (C++23 and earlier)",
     "alignas alignof and and_eq asm auto bitand bitor bool break case catch "
     "char char8_t char16_t char32_t class compl concept const consteval "
     "constexpr constinit const_cast continue co_await co_return co_yield "
     "decltype default delete do double dynamic_cast else enum explicit "
     "export extern false float for friend goto if inline int long mutable "
     "namespace new noexcept not not_eq nullptr operator or or_eq private "
     "protected public register reinterpret_cast requires return short "
     "signed sizeof static static_assert static_cast struct switch template "
     "this thread_local throw true try typedef typeid typename union "
     "unsigned using virtual void volatile wchar_t while xor xor_eq"},
    {"is a macro that compilers predefine",
     "i386 linux mips sparc sun unix WIN32 WIN64 WINNT"},
    {"is a macro of the C and C++ standard headers",
     "assert errno offsetof setjmp va_arg va_copy va_end va_start NULL EOF "
     "BUFSIZ FILENAME_MAX FOPEN_MAX L_tmpnam TMP_MAX SEEK_SET SEEK_CUR "
     "SEEK_END stdin stdout stderr EXIT_SUCCESS EXIT_FAILURE RAND_MAX "
     "MB_CUR_MAX MB_LEN_MAX CHAR_BIT CHAR_MIN CHAR_MAX SCHAR_MIN SCHAR_MAX "
     "UCHAR_MAX SHRT_MIN SHRT_MAX USHRT_MAX INT_MIN INT_MAX UINT_MAX "
     "LONG_MIN LONG_MAX ULONG_MAX LLONG_MIN LLONG_MAX ULLONG_MAX SIZE_MAX "
     "PTRDIFF_MIN PTRDIFF_MAX INTMAX_MIN INTMAX_MAX UINTMAX_MAX INTPTR_MIN "
     "INTPTR_MAX UINTPTR_MAX INT8_MIN INT8_MAX UINT8_MAX INT16_MIN INT16_MAX "
     "UINT16_MAX INT32_MIN INT32_MAX UINT32_MAX INT64_MIN INT64_MAX "
     "UINT64_MAX WCHAR_MIN WCHAR_MAX WINT_MIN WINT_MAX WEOF SIG_ATOMIC_MIN "
     "SIG_ATOMIC_MAX FLT_DIG FLT_EPSILON FLT_MAX FLT_MIN FLT_RADIX DBL_DIG "
     "DBL_EPSILON DBL_MAX DBL_MIN LDBL_DIG LDBL_EPSILON LDBL_MAX LDBL_MIN "
     "DECIMAL_DIG HUGE_VAL HUGE_VALF HUGE_VALL INFINITY NAN FP_NAN "
     "FP_INFINITE FP_ZERO FP_SUBNORMAL FP_NORMAL MATH_ERRNO MATH_ERREXCEPT "
     "math_errhandling EDOM ERANGE EILSEQ LC_ALL LC_COLLATE LC_CTYPE "
     "LC_MONETARY LC_NUMERIC LC_TIME CLOCKS_PER_SEC TIME_UTC SIG_DFL SIG_ERR "
     "SIG_IGN SIGABRT SIGFPE SIGILL SIGINT SIGSEGV SIGTERM NDEBUG "
     "FE_ALL_EXCEPT FE_DIVBYZERO FE_INEXACT FE_INVALID FE_OVERFLOW "
     "FE_UNDERFLOW FE_DOWNWARD FE_TONEAREST FE_TOWARDZERO FE_UPWARD "
     "FE_DFL_ENV PRId32 PRId64 PRIi32 PRIi64 PRIu32 PRIu64 PRIx32 PRIx64 "
     "PRIX32 PRIX64 PRIdMAX PRIuMAX SCNd32 SCNd64 SCNu32 SCNu64"},
    {"is a macro of the POSIX headers (<errno.h>, <signal.h>, ...)",
     "E2BIG EACCES EADDRINUSE EADDRNOTAVAIL EAFNOSUPPORT EAGAIN EALREADY "
     "EBADF EBADMSG EBUSY ECANCELED ECHILD ECONNABORTED ECONNREFUSED "
     "ECONNRESET EDEADLK EDESTADDRREQ EDQUOT EEXIST EFAULT EFBIG "
     "EHOSTUNREACH EIDRM EINPROGRESS EINTR EINVAL EIO EISCONN EISDIR ELOOP "
     "EMFILE EMLINK EMSGSIZE EMULTIHOP ENAMETOOLONG ENETDOWN ENETRESET "
     "ENETUNREACH ENFILE ENOBUFS ENODATA ENODEV ENOENT ENOEXEC ENOLCK "
     "ENOLINK ENOMEM ENOMSG ENOPROTOOPT ENOSPC ENOSR ENOSTR ENOSYS ENOTCONN "
     "ENOTDIR ENOTEMPTY ENOTRECOVERABLE ENOTSOCK ENOTSUP ENOTTY ENXIO "
     "EOPNOTSUPP EOVERFLOW EOWNERDEAD EPERM EPIPE EPROTO EPROTONOSUPPORT "
     "EPROTOTYPE EROFS ESPIPE ESRCH ESTALE ETIME ETIMEDOUT ETXTBSY "
     "EWOULDBLOCK EXDEV SIGALRM SIGBUS SIGCHLD SIGCONT SIGHUP SIGKILL "
     "SIGPIPE SIGPOLL SIGPROF SIGQUIT SIGRTMAX SIGRTMIN SIGSTOP SIGSYS "
     "SIGTRAP SIGTSTP SIGTTIN SIGTTOU SIGURG SIGUSR1 SIGUSR2 SIGVTALRM "
     "SIGXCPU SIGXFSZ SIG_BLOCK SIG_HOLD SIG_SETMASK SIG_UNBLOCK SA_RESTART "
     "SA_SIGINFO SA_NOCLDSTOP SA_NODEFER SA_RESETHAND PATH_MAX NAME_MAX "
     "STDIN_FILENO STDOUT_FILENO STDERR_FILENO F_OK R_OK W_OK X_OK O_RDONLY "
     "O_WRONLY O_RDWR O_CREAT O_EXCL O_TRUNC O_APPEND"},
    {"is a macro of <windows.h>",
     "min max ERROR TRUE FALSE IN OUT OPTIONAL CONST VOID CALLBACK WINAPI "
     "APIENTRY PASCAL CDECL FAR NEAR far near interface small hyper DELETE "
     "INFINITE MAX_PATH NO_ERROR NOERROR S_OK S_FALSE E_FAIL E_INVALIDARG "
     "E_OUTOFMEMORY E_POINTER E_NOTIMPL E_UNEXPECTED E_ACCESSDENIED E_ABORT "
     "E_HANDLE E_NOINTERFACE INVALID_HANDLE_VALUE ERROR_SUCCESS "
     "ERROR_FILE_NOT_FOUND ERROR_PATH_NOT_FOUND ERROR_ACCESS_DENIED "
     "ERROR_INVALID_HANDLE ERROR_NOT_ENOUGH_MEMORY ERROR_OUTOFMEMORY "
     "ERROR_INVALID_PARAMETER ERROR_ALREADY_EXISTS ERROR_FILE_EXISTS "
     "ERROR_DISK_FULL ERROR_HANDLE_EOF ERROR_HANDLE_DISK_FULL "
     "ERROR_NOT_SUPPORTED ERROR_TIMEOUT ERROR_CANCELLED ERROR_MORE_DATA "
     "ERROR_NO_MORE_FILES ERROR_INSUFFICIENT_BUFFER ERROR_SHARING_VIOLATION "
     "ERROR_LOCK_VIOLATION ERROR_WRITE_PROTECT ERROR_NOT_READY "
     "ERROR_BAD_FORMAT ERROR_INVALID_DATA ERROR_IO_PENDING "
     "ERROR_OPERATION_ABORTED ERROR_BROKEN_PIPE ERROR_INVALID_NAME "
     "ERROR_DIRECTORY ERROR_DIR_NOT_EMPTY ERROR_BUSY ERROR_GEN_FAILURE "
     "WAIT_TIMEOUT WAIT_FAILED WAIT_OBJECT_0 WAIT_ABANDONED IGNORE RGB "
     "LOWORD HIWORD LOBYTE HIBYTE MAKEWORD MAKELONG GENERIC_READ "
     "GENERIC_WRITE GENERIC_EXECUTE GENERIC_ALL CREATE_NEW CREATE_ALWAYS "
     "OPEN_EXISTING OPEN_ALWAYS TRUNCATE_EXISTING SYNCHRONIZE MB_OK "
     "MB_ICONERROR MB_ICONWARNING MB_ICONINFORMATION IDOK IDCANCEL IDYES "
     "IDNO SEVERITY_SUCCESS SEVERITY_ERROR FACILITY_WIN32 "
     "EVENTLOG_ERROR_TYPE EVENTLOG_WARNING_TYPE EVENTLOG_INFORMATION_TYPE "
     "TEXT UNREFERENCED_PARAMETER ZeroMemory CopyMemory MoveMemory "
     "FillMemory SecureZeroMemory CreateFile DeleteFile CopyFile MoveFile "
     "FindFirstFile FindNextFile CreateDirectory RemoveDirectory GetTempPath "
     "GetMessage SendMessage PostMessage DispatchMessage PeekMessage "
     "LoadString LoadLibrary GetModuleHandle GetModuleFileName FormatMessage "
     "ReportEvent RegisterEventSource OutputDebugString MessageBox "
     "CreateWindow CreateProcess CreateEvent CreateMutex CreateSemaphore "
     "OpenEvent GetObject DrawText TextOut GetCurrentTime Yield GetUserName "
     "GetComputerName GetEnvironmentVariable SetEnvironmentVariable LoadIcon "
     "LoadCursor LoadImage RegisterClass GetClassName SetWindowText "
     "GetWindowText CreateFont StartService OpenService CharNext lstrcpy "
     "lstrcat lstrlen lstrcmp wsprintf"},
};

std::unordered_map<std::string_view, std::string_view> IndexReserved() {
  std::unordered_map<std::string_view, std::string_view> why_by_name;
  for (const ReservedGroup& group : kReserved) {
    std::string_view names = group.names;
    while (!names.empty()) {
      std::size_t end = names.find(' ');
      why_by_name.emplace(names.substr(0, end), group.why);
      if (end == std::string_view::npos) break;
      names.remove_prefix(end + 1);
    }
  }
  return why_by_name;
}

}  // namespace

std::string_view WhyReserved(std::string_view name) {
  static const std::unordered_map<std::string_view, std::string_view>
      kWhyByName = IndexReserved();
  auto found = kWhyByName.find(name);
  return found == kWhyByName.end() ? std::string_view() : found->second;
}

}  // namespace msgcheck
