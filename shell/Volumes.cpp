#include <QDir>
#include <QStorageInfo>
#include <algorithm>

#include "platform/Files.h"
#include "shell/FileListing.h"

namespace shell {

namespace {

bool IsNetworkType(const std::string& type) {
  return type.rfind("nfs", 0) == 0 || type.rfind("cifs", 0) == 0 || type.rfind("smb", 0) == 0 ||
         type == "fuse.sshfs" || type == "fuse.smbnetfs";
}

bool Under(const std::string& root, const std::string& place) {
  return !place.empty() && (root == place || root.rfind(place + "/", 0) == 0);
}

FileIcon KindOf(const QStorageInfo& volume) {
  const QByteArray type = volume.fileSystemType().toLower();
  if (IsNetworkType(type.toStdString())) return kIconNetwork;
  if (type == "tmpfs" || type == "ramfs") return kIconRamDisk;
  if (type == "iso9660" || type == "udf") return kIconCdRom;
  if (volume.rootPath().startsWith("/media/") || volume.rootPath().startsWith("/run/media/")) return kIconRemovable;
  return kIconFixed;
}

}  // namespace

bool IsUsersVolume(const std::string& root, const std::string& type, const std::string& home) {
  if (root == "/" || IsNetworkType(type)) return true;
  for (const char* place : {"/media", "/run/media", "/mnt"})
    if (Under(root, place) && root != place) return true;
  return home != "/" && Under(root, home);
}

std::vector<Volume> MountedVolumes() {
  const std::string home = QDir::homePath().toStdString();
  std::vector<Volume> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const std::string root = volume.rootPath().toStdString();
    if (!IsUsersVolume(root, volume.fileSystemType().toLower().toStdString(), home)) continue;
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
