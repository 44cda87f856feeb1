#include "BinaryFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ByteChunk.h"

namespace
{
// Follows symbolic links to the file they end in (which need not exist yet).
bool ResolveLinks(const char* path, std::string* out)
{
  std::string target = path;
  for (int hops = 0; hops < 40; ++hops)
  {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
    {
      *out = target;
      return true;
    }
    char link[PATH_MAX];
    ssize_t n = readlink(target.c_str(), link, sizeof(link) - 1);
    if (n < 0) return false;
    link[n] = '\0';
    if (link[0] == '/')
      target = link;
    else
    {
      size_t slash = target.rfind('/');
      target = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
    }
  }
  return false;  // a loop of links
}

std::string DirectoryOf(const std::string& path)
{
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const unsigned char* data, int size)
{
  while (size > 0)
  {
    ssize_t n = write(fd, data, static_cast<size_t>(size));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<int>(n);
  }
  return true;
}

// Creates a new, empty file beside target with a name no other writer uses.
int CreateTemporary(const std::string& target, std::string* tmpPath)
{
  static std::atomic<unsigned> counter{0};
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt)
  {
    char suffix[64];
    std::snprintf(suffix, sizeof(suffix), ".%ld.%u.tmp", static_cast<long>(getpid()), counter++);
    *tmpPath = dir + "." + base + suffix;
    int fd = open(tmpPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}
}  // namespace

bool BinaryFile::WriteAtomically(const char* path, const void* data, int size)
{
  if (!path || !*path || size < 0 || (size > 0 && !data)) return false;
  std::string target;
  if (!ResolveLinks(path, &target)) return false;

  struct stat old;
  bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return false;

  std::string tmp;
  int fd = CreateTemporary(target, &tmp);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, static_cast<const unsigned char*>(data), size);
  if (ok && exists)
  {
    // Keeps the owner where we may (a root-run host saving a user's file); failing is harmless.
    if (fchown(fd, old.st_uid, old.st_gid) != 0)
    {
    }
    ok = fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(tmp.c_str(), target.c_str()) == 0;
  if (!ok)
  {
    unlink(tmp.c_str());
    return false;
  }
  // Makes the rename itself durable; a failure here no longer endangers the old file.
  int dirFd = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0)
  {
    fsync(dirFd);
    close(dirFd);
  }
  return true;
}

bool BinaryFile::Read(const char* path, ByteChunk* chunk)
{
  if (!path || !*path || !chunk) return false;
  // Non-blocking, so that a FIFO in place of a file cannot hang the caller before it is refused.
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxReadSize;
  int size = ok ? static_cast<int>(st.st_size) : 0;
  ok = ok && chunk->Resize(size) == size;
  int got = 0;
  while (ok && got < size)
  {
    ssize_t n = read(fd, chunk->GetBytes() + got, static_cast<size_t>(size - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the file shrank while being read
    got += static_cast<int>(n);
  }
  close(fd);
  return ok && got == size;
}
