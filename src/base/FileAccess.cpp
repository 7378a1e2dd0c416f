#include "base/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "base/Cp1251.h"

namespace zorvan {
namespace {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return W("это папка, а не файл");
  if (S_ISFIFO(mode)) return W("это канал (FIFO), а не файл");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return W("это устройство, а не файл");
  if (S_ISSOCK(mode)) return W("это сокет, а не файл");
  return W("это не обычный файл");
}

// Closes the descriptor on every path out.
struct TDescriptor {
  int fd;
  ~TDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT: return W("нет такого файла или папки");
    case EACCES:
    case EPERM: return W("нет прав доступа");
    case EISDIR: return W("это папка, а не файл");
    case ENOTDIR: return W("часть пути не является папкой");
    case EROFS: return W("файловая система доступна только для чтения");
    case ENOSPC: return W("на диске нет места");
    case EDQUOT: return W("превышена дисковая квота");
    case EFBIG: return W("файл слишком велик");
    case EIO: return W("ошибка ввода-вывода");
    case EBUSY: return W("устройство занято");
    case ENXIO:
    case ENODEV: return W("нет такого устройства");
    case ENAMETOOLONG: return W("слишком длинное имя");
    case ELOOP: return W("слишком много символических ссылок");
    case EMFILE:
    case ENFILE: return W("открыто слишком много файлов");
    case EEXIST: return W("файл уже существует");
    case ENOTTY: return W("это не последовательный порт");
    case EAGAIN: return W("ресурс временно недоступен");
    case EINVAL: return W("недопустимый параметр");
    case ETXTBSY: return W("файл занят");
    case EXDEV: return W("файл на другом диске");
    case ENOMEM: return W("не хватает памяти");
    default: return W("системная ошибка ") + std::to_string(error);
  }
}

std::string QuotedPath(const std::string& path) { return "\"" + Utf8ToCp1251(path) + "\""; }

std::string FollowLinks(const std::string& path) {
  std::string current = path;
  // The same bound as the system's own.
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[PATH_MAX + 1];
    const ssize_t n = ::readlink(current.c_str(), target, PATH_MAX);
    if (n <= 0) return current;
    std::string next(target, static_cast<std::size_t>(n));
    current = next[0] == '/' ? next : FolderOf(current) + "/" + next;
  }
  return current;
}

TReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& error) {
  bytes.clear();
  error.clear();
  // Without O_NONBLOCK opening a FIFO would wait for a writer for ever.
  TDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) {
    if (errno == ENOENT) return TReadResult::Missing;
    error = SystemErrorText(errno);
    return TReadResult::Failed;
  }
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) {
    error = SystemErrorText(errno);
    return TReadResult::Failed;
  }
  if (!S_ISREG(st.st_mode)) {
    error = NotRegularReason(st.st_mode);
    return TReadResult::Failed;
  }
  const std::string tooBig = W("файл больше ") + std::to_string(maxBytes / (1024 * 1024)) + W(" МБ");
  if (static_cast<std::size_t>(st.st_size) > maxBytes) {
    error = tooBig;
    return TReadResult::Failed;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = SystemErrorText(errno);
      bytes.clear();
      return TReadResult::Failed;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    // A file that grows while it is read is held to the same limit.
    if (bytes.size() > maxBytes) {
      error = tooBig;
      bytes.clear();
      return TReadResult::Failed;
    }
  }
  return TReadResult::Ok;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error, mode_t newFileMode) {
  error.clear();
  const std::string target = FollowLinks(path);
  mode_t mode = newFileMode;
  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (!S_ISREG(st.st_mode)) {
      error = NotRegularReason(st.st_mode);
      return false;
    }
    mode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    error = SystemErrorText(errno);
    return false;
  }
  std::string temp = target + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = SystemErrorText(errno);
    return false;
  }
  int failure = 0;
  std::size_t done = 0;
  while (failure == 0 && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) failure = n < 0 ? errno : EIO;
    else done += static_cast<std::size_t>(n);
  }
  // The owner is kept where the system allows it (root saving a user's file).
  if (failure == 0 && exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
    (void)!::fchown(fd, st.st_uid, st.st_gid);
  if (failure == 0 && ::fchmod(fd, mode) != 0) failure = errno;
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && std::rename(temp.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temp.c_str());
    error = SystemErrorText(failure);
    return false;
  }
  // The rename itself is on disk only once the folder is.
  TDescriptor folder{::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (folder.fd >= 0) (void)::fsync(folder.fd);
  return true;
}

std::FILE* OpenForAppend(const std::string& path, std::string& error) {
  error.clear();
  // Non-blocking so that a FIFO without a reader fails instead of hanging; the mode is only
  // for a new file (a log holds the master code the connection sent).
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
  if (fd < 0) {
    error = SystemErrorText(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) error = SystemErrorText(errno);
  else if (!S_ISREG(st.st_mode)) error = NotRegularReason(st.st_mode);
  else if (::fcntl(fd, F_SETFL, O_APPEND) != 0) error = SystemErrorText(errno);
  std::FILE* file = error.empty() ? ::fdopen(fd, "ab") : nullptr;
  if (!file) {
    if (error.empty()) error = SystemErrorText(errno);
    ::close(fd);
  }
  return file;
}

}  // namespace zorvan
