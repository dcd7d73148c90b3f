/* The floors' common end: one record naming the text at `path`, appended
 * to `mailbox` under the lock and flushed, and nothing else.  Returns 0, or
 * 1 when the record could not be written. */
#pragma once

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int AppendRecord(const char* mailbox, const char* sender, const char* date, const char* path) {
  unsigned char record[151];
  memset(record, 0, sizeof record);
  record[0] = 7;
  memcpy(record + 1, "subject", 7);
  record[41] = (unsigned char)strlen(sender);
  memcpy(record + 42, sender, record[41]);
  record[50] = (unsigned char)strlen(date);
  memcpy(record + 51, date, record[50]);
  const size_t pathLength = strlen(path) > 79 ? 79 : strlen(path);
  record[71] = (unsigned char)pathLength;
  memcpy(record + 72, path + strlen(path) - pathLength, pathLength);
  const int fd = open(mailbox, O_RDWR | O_CREAT | O_CLOEXEC, 0660);
  if (fd < 0) return 1;
  struct flock lock;
  memset(&lock, 0, sizeof lock);
  lock.l_type = F_WRLCK;
  fcntl(fd, F_OFD_SETLK, &lock);
  struct stat st;
  fstat(fd, &st);
  const int failed = pwrite(fd, record, sizeof record, st.st_size) != (ssize_t)sizeof record;
  fsync(fd);
  close(fd);
  return failed;
}
