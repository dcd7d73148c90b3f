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
#include <unistd.h>

#include "floor_append.h"

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
  char mailbox[4096];
  snprintf(mailbox, sizeof mailbox, "%s/%s", argv[1], argv[2]);
  return AppendRecord(mailbox, "ALICE", "12/7/2026 2:15p", path);
}
