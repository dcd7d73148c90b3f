#include <QStorageInfo>
#include <algorithm>

#include "platform/Files.h"
#include "shell/FileListing.h"

namespace shell {

namespace {

// Mounts that are the system's plumbing, not places for files.
bool IsPlumbing(const QString& root) {
  for (const char* prefix : {"/proc", "/sys", "/dev", "/run"}) {
    const QString p = QString::fromLatin1(prefix);
    if (root == p || root.startsWith(p + '/')) return !root.startsWith("/run/media/");
  }
  return false;
}

FileIcon KindOf(const QStorageInfo& volume) {
  const QByteArray type = volume.fileSystemType().toLower();
  if (type.startsWith("nfs") || type.startsWith("cifs") || type.startsWith("smb") || type == "fuse.sshfs")
    return kIconNetwork;
  if (type == "tmpfs" || type == "ramfs") return kIconRamDisk;
  if (type == "iso9660" || type == "udf") return kIconCdRom;
  if (volume.rootPath().startsWith("/media/") || volume.rootPath().startsWith("/run/media/")) return kIconRemovable;
  return kIconFixed;
}

}  // namespace

std::vector<Volume> MountedVolumes() {
  std::vector<Volume> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || IsPlumbing(volume.rootPath())) continue;
    const std::string root = volume.rootPath().toStdString();
    platform::FileInfo info;
    // A file mounted over another (as containers do) is no volume.
    if (platform::StatFile(root, info) != 0 || !info.isDirectory) continue;
    volumes.push_back({root, volume.name().toStdString(), KindOf(volume)});
  }
  std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
    return a.root == "/" ? b.root != "/" : b.root != "/" && a.root < b.root;
  });
  volumes.erase(std::unique(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) {
                  return a.root == b.root;
                }),
                volumes.end());
  return volumes;
}

std::string VolumeRootOf(const std::string& path) {
  const QStorageInfo volume(QString::fromStdString(path));
  return volume.isValid() ? volume.rootPath().toStdString() : std::string("/");
}

}  // namespace shell
