/* The floor of `kvmailctl send` by one process: the system calls that
 * delivering standard input from one user to another must make in the
 * Mail Directory's format, in C, so that the C++ runtime's start and all of
 * the program's own work count against the program.
 *
 *   floor_kvmailctl MAILDIR SENDER RECIPIENT
 *
 * Like the program it
 *   - finds the sender and the recipient in MASTER.INI (one reading);
 *   - looks for the sender's password in MAILBOX.INI, and when that name is
 *     missing reads the directory once for another spelling of it;
 *   - reads the local time zone for the record's date;
 *   - names the text by the moment and the sender, and on a taken name
 *     walks on through the names the directory's one reading lists;
 *   - reserves the text by an exclusive, written-through creation, writes
 *     the text through that descriptor, then appends the record under the
 *     lock and flushes.
 * No messages, no checks beyond these: a minimum for the same job. */
#define _GNU_SOURCE
#include <ctype.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "floor_append.h"

/* The upper-cased names of one reading of the directory, in an open
 * addressing table of their hashes. */
static uint64_t names[1 << 20];
static size_t nameSlots = 0;
static int listed = 0;

static uint64_t UpperHash(const char* s) {
  uint64_t h = 1469598103934665603ull;
  for (; *s; ++s) h = (h ^ (uint64_t)toupper((unsigned char)*s)) * 1099511628211ull;
  return h ? h : 1;
}

static void ListDirectory(const char* dir) {
  listed = 1;
  int fd = open(dir, O_RDONLY | O_DIRECTORY | O_NOATIME | O_CLOEXEC);
  if (fd < 0) fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* d = fd < 0 ? NULL : fdopendir(fd);
  if (!d) return;
  size_t count = 0;
  nameSlots = 1024;
  struct dirent* e;
  while ((e = readdir(d)) != NULL) {
    if (++count * 2 > nameSlots && nameSlots < sizeof names / sizeof names[0]) {
      /* Grown by reading again: directories of the case are small. */
      nameSlots *= 2;
      memset(names, 0, sizeof names[0] * nameSlots);
      rewinddir(d);
      count = 0;
      continue;
    }
    uint64_t h = UpperHash(e->d_name);
    size_t i = h & (nameSlots - 1);
    while (names[i] && names[i] != h) i = (i + 1) & (nameSlots - 1);
    names[i] = h;
  }
  closedir(d);
}

static int Listed(const char* name) {
  if (!nameSlots) return 0;
  uint64_t h = UpperHash(name);
  for (size_t i = h & (nameSlots - 1); names[i]; i = (i + 1) & (nameSlots - 1))
    if (names[i] == h) return 1;
  return 0;
}

static int HasKey(const char* ini, const char* key) {
  size_t n = strlen(key);
  for (const char* line = ini; line; line = strchr(line, '\n')) {
    if (*line == '\n') ++line;
    if (strncasecmp(line, key, n) == 0 && line[n] == '=') return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const char* dir = argv[1];
  char path[4096];
  struct stat st;
  if (stat(dir, &st) != 0) return 1;

  static char master[65536];
  snprintf(path, sizeof path, "%s/MASTER.INI", dir);
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  ssize_t got = read(fd, master, sizeof master - 1);
  close(fd);
  master[got > 0 ? got : 0] = 0;
  if (!HasKey(master, argv[2]) || !HasKey(master, argv[3])) return 1;

  snprintf(path, sizeof path, "%s/MAILBOX.INI", dir);
  fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    char passwords[4096];
    if (read(fd, passwords, sizeof passwords) < 0) return 1;
    close(fd);
  } else if (errno == ENOENT) {
    ListDirectory(dir);
    if (Listed("MAILBOX.INI")) return 1; /* another spelling: a password to ask for */
  }

  static char text[65536];
  ssize_t size = read(0, text, sizeof text);
  if (size < 0) size = 0;

  time_t now = time(NULL);
  struct tm local;
  localtime_r(&now, &local);
  uint32_t packed = (uint32_t)((local.tm_year + 1900 - 1980) * 512 + (local.tm_mon + 1) * 32 + local.tm_mday) << 16 |
                    (uint32_t)(local.tm_hour * 2048 + local.tm_min * 32 + local.tm_sec / 2);
  uint32_t weight = 0, w = 0;
  for (const char* c = argv[2]; *c; ++c) {
    weight += (unsigned char)*c + w;
    w = w ? 2 * w : 256;
  }
  char name[16];
  for (uint32_t attempt = 0;; ++attempt) {
    uint32_t value = packed + 1000000000u + weight + attempt;
    snprintf(name, sizeof name, "%04X%04X.MSG", value >> 16, value & 0xFFFFu);
    if (listed && Listed(name)) continue;
    snprintf(path, sizeof path, "%s/%s", dir, name);
    fd = open(path, O_CREAT | O_EXCL | O_WRONLY | O_SYNC | O_CLOEXEC, 0660);
    if (fd >= 0) break;
    if (errno != EEXIST) return 1;
    if (!listed) ListDirectory(dir);
  }
  if (write(fd, text, (size_t)size) != size) return 1;
  close(fd);

  char date[64];
  snprintf(date, sizeof date, "%d/%d/%d %d:%02d%c", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900,
           (local.tm_hour + 11) % 12 + 1, local.tm_min, local.tm_hour < 12 ? 'a' : 'p');
  char mailbox[4096];
  snprintf(mailbox, sizeof mailbox, "%s/%s.LST", dir, argv[3]);
  return AppendRecord(mailbox, argv[2], date, path);
}
