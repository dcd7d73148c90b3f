/* The floor of one delivery by one process: exactly the system calls a
 * program must make to deliver one copy of standard input in the Mail
 * Directory's format, in C, so that even the C++ runtime's start counts
 * against the mail program.
 *
 *   floor_send MAILDIR MAILBOX NAME   (NAME: the text file's name)
 *
 * Reserve the text by an exclusive, written-through creation and write it
 * through that same descriptor, then append the record under the lock and
 * flush.  No checks, no messages: a minimum, not a program. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  char text[65536];
  ssize_t size = read(0, text, sizeof text);
  if (size < 0) size = 0;
  char path[4096];
  snprintf(path, sizeof path, "%s/%s", argv[1], argv[3]);
  int fd = open(path, O_CREAT | O_EXCL | O_WRONLY | O_SYNC, 0660);
  if (fd < 0) return 1;
  if (write(fd, text, (size_t)size) != size) return 1;
  close(fd);
  unsigned char record[151];
  memset(record, 0, sizeof record);
  record[0] = 7;
  memcpy(record + 1, "subject", 7);
  record[41] = 5;
  memcpy(record + 42, "ALICE", 5);
  record[50] = 15;
  memcpy(record + 51, "12/7/2026 2:15p", 15);
  const size_t pathLength = strlen(path) > 79 ? 79 : strlen(path);
  record[71] = (unsigned char)pathLength;
  memcpy(record + 72, path + strlen(path) - pathLength, pathLength);
  char mailbox[4096];
  snprintf(mailbox, sizeof mailbox, "%s/%s", argv[1], argv[2]);
  fd = open(mailbox, O_RDWR | O_CREAT, 0660);
  struct flock lock;
  memset(&lock, 0, sizeof lock);
  lock.l_type = F_WRLCK;
  fcntl(fd, F_OFD_SETLK, &lock);
  struct stat st;
  fstat(fd, &st);
  if (pwrite(fd, record, sizeof record, st.st_size) != (ssize_t)sizeof record) return 1;
  fsync(fd);
  close(fd);
  return 0;
}
