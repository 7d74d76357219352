// The platform on Windows: UTF-8 names opened through the wide-character API, handles,
// GetFileInformationByHandle for identity, the C library's texts for common errors, and the
// console read and written as wide characters.
#include <windows.h>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "support/platform.hpp"

namespace qel2br::support {

namespace {

// Error numbers at and above this are Windows error codes without a C library number.
constexpr int kWindowsErrorBase = 100000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The C library's number for a Windows error code, so that common failures read as on other
// systems ("No such file or directory"); other codes are kept, above kWindowsErrorBase.
int error_number(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
      return EACCES;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return EPIPE;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_NO_UNICODE_TRANSLATION:
      return EILSEQ;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
      return EIO;
    default:
      return code < static_cast<DWORD>(INT32_MAX - kWindowsErrorBase)
                 ? kWindowsErrorBase + static_cast<int>(code)
                 : EIO;
  }
}

int last_error() { return error_number(::GetLastError()); }

HANDLE native(FileHandle file) {
  return reinterpret_cast<HANDLE>(file.value);  // NOLINT(performance-no-int-to-ptr)
}

FileHandle handle_of(HANDLE h) { return {.value = reinterpret_cast<std::intptr_t>(h)}; }

// The UTF-8 name as a wide-character name; false when the bytes are not UTF-8.
bool wide_name(std::string_view path, std::wstring& wide) {
  wide.clear();
  if (path.empty()) {
    return true;
  }
  if (path.size() > static_cast<std::size_t>(INT32_MAX)) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  const int length = static_cast<int>(path.size());
  const int count =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
  if (count <= 0) {
    return false;
  }
  wide.resize(static_cast<std::size_t>(count));
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(),
                               count) == count;
}

std::string utf8_text(std::wstring_view wide) {
  if (wide.empty() || wide.size() > static_cast<std::size_t>(INT32_MAX / 4)) {
    return {};
  }
  const int length = static_cast<int>(wide.size());
  const int count =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (count <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(count), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), count, nullptr, nullptr);
  return text;
}

// Whether the bytes are valid UTF-8 (the system's strict reading: no overlong forms, no
// surrogates).
bool is_utf8(std::string_view bytes) {
  if (bytes.empty()) {
    return true;
  }
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    return false;
  }
  return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

// The bytes as wide characters: read as UTF-8 when they are valid UTF-8, otherwise in the
// system's ANSI code page (where every byte is a character).
std::wstring wide_text(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    return {};
  }
  const UINT page = is_utf8(bytes) ? CP_UTF8 : CP_ACP;
  const int length = static_cast<int>(bytes.size());
  const int count = ::MultiByteToWideChar(page, 0, bytes.data(), length, nullptr, 0);
  if (count <= 0) {
    return {};
  }
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  ::MultiByteToWideChar(page, 0, bytes.data(), length, wide.data(), count);
  return wide;
}

// Whether the handle is a console (input or screen buffer) rather than a file, pipe or device.
bool is_console(HANDLE h) {
  DWORD mode = 0;
  return ::GetFileType(h) == FILE_TYPE_CHAR && ::GetConsoleMode(h, &mode) != 0;
}

// Reads typed text from the console as wide characters, whatever the console's code page, and
// gives it as UTF-8. Ctrl+Z at the start of a read line is the end of the console input.
Transfer read_console(HANDLE h, std::span<char> buffer) {
  // A UTF-16 unit becomes at most 3 bytes of UTF-8 (a pair of units 4): room is kept for one
  // unit more that completes a pair.
  const std::size_t units = std::min<std::size_t>(buffer.size() / 3, 8192);
  if (units < 2) {
    return {.bytes = 0, .error = EINVAL};
  }
  std::wstring wide(units, L'\0');
  DWORD got = 0;
  if (::ReadConsoleW(h, wide.data(), static_cast<DWORD>(units - 1), &got, nullptr) == 0) {
    return {.bytes = 0, .error = last_error()};
  }
  if (got > 0 && got < units && IS_HIGH_SURROGATE(wide[got - 1])) {
    DWORD more = 0;
    if (::ReadConsoleW(h, &wide[got], 1, &more, nullptr) != 0) {
      got += std::min<DWORD>(more, 1);
    }
  }
  wide.resize(std::min<std::size_t>(got, units));
  if (!wide.empty() && wide.front() == L'\x1a') {
    return {.bytes = 0, .error = 0};
  }
  const std::string text = utf8_text(wide);
  const std::size_t size = std::min(text.size(), buffer.size());
  std::copy_n(text.begin(), size, buffer.begin());
  return {.bytes = size, .error = 0};
}

// How many leading bytes of text hold whole characters: all, unless text ends in the first
// bytes of a UTF-8 sequence whose rest comes with the next write (then they are held back,
// provided something comes before them).
std::size_t whole_characters(std::string_view text) {
  std::size_t tail = 0;
  for (std::size_t i = text.size(); i > 0 && tail < 4; --i) {
    const auto byte = static_cast<unsigned char>(text[i - 1]);
    ++tail;
    if ((byte & 0xC0U) != 0x80U) {
      std::size_t length = 1;
      if (byte >= 0xF0U && byte < 0xF8U) {
        length = 4;
      } else if (byte >= 0xE0U) {
        length = 3;
      } else if (byte >= 0xC0U) {
        length = 2;
      }
      return length > tail && tail < text.size() ? text.size() - tail : text.size();
    }
  }
  return text.size();
}

// Writes UTF-8 text to the console as wide characters, so that names show as they were typed
// whatever the console's code page; a line that is not UTF-8 is shown in the system's code page.
Transfer write_console(HANDLE h, std::string_view bytes) {
  constexpr std::size_t kLargest = std::size_t{1} << 20U;
  std::string_view text = bytes.substr(0, whole_characters(bytes.substr(0, kLargest)));
  std::wstring wide;
  for (std::string_view rest = text; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    const std::size_t size = end == std::string_view::npos ? rest.size() : end + 1;
    wide += wide_text(rest.substr(0, size));
    rest.remove_prefix(size);
  }
  std::wstring_view pending = wide;
  while (!pending.empty()) {
    constexpr std::size_t kUnits = 8192;
    std::size_t count = std::min(pending.size(), kUnits);
    if (count < pending.size() && IS_HIGH_SURROGATE(pending[count - 1])) {
      ++count;
    }
    DWORD written = 0;
    if (::WriteConsoleW(h, pending.data(), static_cast<DWORD>(count), &written, nullptr) == 0) {
      return {.bytes = 0, .error = last_error()};
    }
    if (written == 0) {
      return {.bytes = 0, .error = EIO};
    }
    pending.remove_prefix(std::min<std::size_t>(written, pending.size()));
  }
  return {.bytes = text.size(), .error = 0};
}

// Opens a name; directories can be opened too (for reading), so that they are told apart by
// their kind rather than by a refusal.
Opened open_file(std::string_view path, DWORD access, DWORD disposition) {
  std::wstring wide;
  if (!wide_name(path, wide)) {
    return {.handle = {}, .error = last_error()};
  }
  if (wide.empty()) {
    return {.handle = {}, .error = ENOENT};
  }
  const HANDLE h = ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (code == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return {.handle = {}, .error = EISDIR};
    }
    return {.handle = {}, .error = error_number(code)};
  }
  return {.handle = handle_of(h), .error = 0};
}

std::optional<FileIdentity> identity_of(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(h, &info) == 0) {
    return std::nullopt;
  }
  return FileIdentity{
      .volume = info.dwVolumeSerialNumber,
      .index = (std::uint64_t{info.nFileIndexHigh} << 32U) | std::uint64_t{info.nFileIndexLow}};
}

// Windows reads and writes at most 4 GB - 1 bytes in one call; less is asked for.
DWORD chunk(std::size_t size) {
  constexpr std::size_t kLargest = std::size_t{1} << 30U;
  return static_cast<DWORD>(size < kLargest ? size : kLargest);
}

FileKind kind_of(HANDLE h) {
  switch (::GetFileType(h)) {
    case FILE_TYPE_DISK: {
      BY_HANDLE_FILE_INFORMATION info{};
      if (::GetFileInformationByHandle(h, &info) == 0) {
        return FileKind::kOther;
      }
      return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kDirectory
                                                                     : FileKind::kRegular;
    }
    case FILE_TYPE_PIPE:
      return FileKind::kPipe;
    case FILE_TYPE_CHAR:
      return FileKind::kCharacterDevice;
    default:
      return FileKind::kOther;
  }
}

// What query(handle) finds of the file at path, opened for the query without access to read
// or write (a device is not acted on) and closed again; nullopt when path cannot be opened.
template <typename Result, typename Query>
std::optional<Result> query_path(std::string_view path, Query query) {
  std::wstring wide;
  if (!wide_name(path, wide) || wide.empty()) {
    return std::nullopt;
  }
  const HANDLE h = ::CreateFileW(wide.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  const std::optional<Result> result = query(h);
  ::CloseHandle(h);
  return result;
}

class WindowsPlatform final : public Platform {
 public:
  Opened open_read(std::string_view path) override {
    return open_file(path, GENERIC_READ, OPEN_EXISTING);
  }

  Opened open_write(std::string_view path, WriteMode mode) override {
    return open_file(path, GENERIC_WRITE, mode == WriteMode::kCreateNew ? CREATE_NEW : OPEN_ALWAYS);
  }

  Opened open_scratch() override {
    std::wstring folder(MAX_PATH + 1, L'\0');
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0 || length > folder.size()) {
      return {.handle = {}, .error = last_error()};
    }
    folder.resize(length);
    std::wstring name(MAX_PATH + 1, L'\0');
    if (::GetTempFileNameW(folder.c_str(), L"q2b", 0, name.data()) == 0) {
      return {.handle = {}, .error = last_error()};
    }
    const HANDLE h =
        ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const int error = last_error();
      ::DeleteFileW(name.c_str());
      return {.handle = {}, .error = error};
    }
    return {.handle = handle_of(h), .error = 0};
  }

  int copy_permissions(FileHandle /*file*/, std::string_view /*from*/) override {
    // Windows files carry no permission bits; their access lists come from the folder.
    return 0;
  }

  int rename_over(std::string_view from, std::string_view to) override {
    std::wstring old_name;
    std::wstring new_name;
    if (!wide_name(from, old_name) || !wide_name(to, new_name)) {
      return last_error();
    }
    return ::MoveFileExW(old_name.c_str(), new_name.c_str(), MOVEFILE_REPLACE_EXISTING) != 0
               ? 0
               : last_error();
  }

  int remove(std::string_view path) override {
    std::wstring name;
    if (!wide_name(path, name)) {
      return last_error();
    }
    return ::DeleteFileW(name.c_str()) != 0 ? 0 : last_error();
  }

  std::optional<PathFacts> facts(std::string_view path) override {
    std::wstring wide;
    if (!wide_name(path, wide) || wide.empty()) {
      return std::nullopt;
    }
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    return query_path<PathFacts>(path, [&](HANDLE h) -> std::optional<PathFacts> {
      PathFacts facts{.kind = kind_of(h), .links = 1, .resolved = std::string(path)};
      BY_HANDLE_FILE_INFORMATION info{};
      if (::GetFileInformationByHandle(h, &info) != 0) {
        facts.links = info.nNumberOfLinks;
      }
      // The file a link leads to is the one replaced, not the link.
      if (attributes != INVALID_FILE_ATTRIBUTES &&
          (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        std::wstring final_name(MAX_PATH + 1, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(
            h, final_name.data(), static_cast<DWORD>(final_name.size()), FILE_NAME_NORMALIZED);
        if (length > 0 && length < final_name.size()) {
          final_name.resize(length);
          facts.resolved = utf8_text(final_name);
        }
      }
      return facts;
    });
  }

  std::uint64_t process_number() override { return ::GetCurrentProcessId(); }

  int empty(FileHandle file) override {
    // Only a disk file holds anything to remove; a device or a pipe is written as it is.
    if (::GetFileType(native(file)) != FILE_TYPE_DISK) {
      return 0;
    }
    const LARGE_INTEGER start{};
    if (::SetFilePointerEx(native(file), start, nullptr, FILE_BEGIN) == 0 ||
        ::SetEndOfFile(native(file)) == 0) {
      return last_error();
    }
    return 0;
  }

  Transfer read(FileHandle file, std::span<char> buffer) override {
    if (is_console(native(file))) {
      return read_console(native(file), buffer);
    }
    DWORD moved = 0;
    if (::ReadFile(native(file), buffer.data(), chunk(buffer.size()), &moved, nullptr) == 0) {
      const DWORD code = ::GetLastError();
      // The writing end of a pipe has closed: the end of the input.
      if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) {
        return {.bytes = 0, .error = 0};
      }
      return {.bytes = 0, .error = error_number(code)};
    }
    return {.bytes = moved, .error = 0};
  }

  Transfer write(FileHandle file, std::string_view bytes) override {
    if (is_console(native(file))) {
      return write_console(native(file), bytes);
    }
    DWORD moved = 0;
    if (::WriteFile(native(file), bytes.data(), chunk(bytes.size()), &moved, nullptr) == 0) {
      return {.bytes = 0, .error = last_error()};
    }
    return {.bytes = moved, .error = 0};
  }

  int close(FileHandle file) override {
    return ::CloseHandle(native(file)) != 0 ? 0 : last_error();
  }

  std::size_t size_hint(FileHandle file) override {
    LARGE_INTEGER size{};
    if (::GetFileType(native(file)) != FILE_TYPE_DISK ||
        ::GetFileSizeEx(native(file), &size) == 0 || size.QuadPart <= 0) {
      return 0;
    }
    return static_cast<std::size_t>(size.QuadPart);
  }

  FileKind kind(FileHandle file) override { return kind_of(native(file)); }

  std::optional<FileKind> kind(std::string_view path) override {
    return query_path<FileKind>(path, kind_of);
  }

  std::optional<FileIdentity> identity(FileHandle file) override {
    return identity_of(native(file));
  }

  std::optional<FileIdentity> identity(std::string_view path) override {
    return query_path<FileIdentity>(path, identity_of);
  }

  FileHandle standard(StandardStream stream) override {
    DWORD which = STD_INPUT_HANDLE;
    if (stream == StandardStream::kOutput) {
      which = STD_OUTPUT_HANDLE;
    } else if (stream == StandardStream::kError) {
      which = STD_ERROR_HANDLE;
    }
    const HANDLE h = ::GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) {
      return {};
    }
    return handle_of(h);
  }

  std::string answer_text(std::string line) override {
    if (is_utf8(line)) {
      return line;
    }
    return utf8_text(wide_text(line));
  }

  std::vector<std::string> arguments(int argc, char** argv) override {
    // The arguments in argv are in the system's code page; the wide command line holds them
    // exactly.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
      return {argv, argv + (argc > 0 ? argc : 0)};
    }
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
      words.push_back(utf8_text(wide[i]));  // NOLINT: the system's array of count texts
    }
    ::LocalFree(static_cast<void*>(wide));
    return words;
  }

  std::string reason(int error) override {
    if (error < kWindowsErrorBase) {
      return std::strerror(error);
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error - kWindowsErrorBase), 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);  // NOLINT: the call's convention
    std::string reason =
        length == 0 || text == nullptr ? std::string{} : utf8_text(std::wstring_view(text, length));
    if (text != nullptr) {
      ::LocalFree(text);
    }
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
      reason.pop_back();
    }
    if (reason.empty()) {
      reason = "Windows error " + std::to_string(error - kWindowsErrorBase);
    }
    return reason;
  }

  LocalTime local_time() override {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {.year = now.wYear,
            .month = now.wMonth,
            .day = now.wDay,
            .hour = now.wHour,
            .minute = now.wMinute,
            .second = now.wSecond};
  }

  std::span<char> reserve_memory(std::size_t size) override {
    void* memory = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (memory == nullptr) {
      return {};
    }
    return {static_cast<char*>(memory), size};
  }

  void release_memory(std::span<char> memory) override {
    if (!memory.empty()) {
      ::VirtualFree(memory.data(), 0, MEM_RELEASE);
    }
  }
};

// A guarded temporary file: its name and the line written when the console ends the process.
struct Guard {
  std::atomic<bool> armed{false};
  std::atomic<bool> taken{false};
  std::array<wchar_t, 4096> path{};
  std::array<char, 4096> line{};
  DWORD line_size = 0;
};

std::array<Guard, kGuardedFiles>& guards() {
  static std::array<Guard, kGuardedFiles> all;
  return all;
}

// Runs on a thread of its own when Ctrl+C or Ctrl+Break is pressed or the console is closed;
// returning FALSE lets the system end the process as it would have.
BOOL WINAPI on_console_stop(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
    for (Guard& guard : guards()) {
      if (guard.armed.exchange(false)) {
        ::DeleteFileW(guard.path.data());
        DWORD moved = 0;
        if (errors != nullptr && errors != INVALID_HANDLE_VALUE) {
          ::WriteFile(errors, guard.line.data(), guard.line_size, &moved, nullptr);
        }
      }
    }
  }
  return FALSE;
}

}  // namespace

void prepare_process() {
  // Windows hands a program no numbered descriptors to reuse, and has no file-size signal.
  ::SetConsoleCtrlHandler(on_console_stop, TRUE);
}

std::size_t guard_file(std::string_view path, std::string_view line) {
  std::array<Guard, kGuardedFiles>& all = guards();
  std::wstring wide;
  if (!wide_name(path, wide)) {
    return kGuardedFiles;
  }
  for (std::size_t slot = 0; slot < all.size(); ++slot) {
    Guard& guard = all[slot];
    if (wide.size() >= guard.path.size() || line.size() > guard.line.size() ||
        guard.taken.exchange(true)) {
      continue;
    }
    std::copy(wide.begin(), wide.end(), guard.path.begin());
    guard.path[wide.size()] = L'\0';
    std::copy(line.begin(), line.end(), guard.line.begin());
    guard.line_size = static_cast<DWORD>(line.size());
    guard.armed.store(true);
    return slot;
  }
  return kGuardedFiles;
}

void release_guard(std::size_t slot) {
  if (slot < kGuardedFiles) {
    guards()[slot].armed.store(false);
    guards()[slot].taken.store(false);
  }
}

void hold_own_console() {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  // A handle is a console when its console mode can be read; a redirected one is not.
  if (input == nullptr || input == INVALID_HANDLE_VALUE || output == nullptr ||
      output == INVALID_HANDLE_VALUE || ::GetConsoleMode(input, &mode) == 0 ||
      ::GetConsoleMode(output, &mode) == 0) {
    return;
  }
  // One process on the console: the window was opened for this one and closes with it.
  std::array<DWORD, 2> processes{};
  if (::GetConsoleProcessList(processes.data(), static_cast<DWORD>(processes.size())) != 1) {
    return;
  }
  constexpr std::string_view kAsk = "Press Enter to close this window.\n";
  DWORD moved = 0;
  const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
  if (errors != nullptr && errors != INVALID_HANDLE_VALUE) {
    ::WriteFile(errors, kAsk.data(), static_cast<DWORD>(kAsk.size()), &moved, nullptr);
  }
  // The console hands over a line at a time; a bounded number of reads, each of at least one
  // character, until the line end or the end of the input.
  std::array<wchar_t, 64> typed{};
  for (int reads = 0; reads < 1000; ++reads) {
    DWORD got = 0;
    if (::ReadConsoleW(input, typed.data(), static_cast<DWORD>(typed.size()), &got, nullptr) == 0 ||
        got == 0) {
      return;
    }
    const auto end = typed.begin() + static_cast<std::ptrdiff_t>(
                                         std::min(static_cast<std::size_t>(got), typed.size()));
    if (std::find(typed.begin(), end, L'\n') != end) {
      return;
    }
  }
}

Platform& native_platform() {
  static WindowsPlatform system;
  return system;
}

}  // namespace qel2br::support
