#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// One place a benchmark can write to, for the Drive list.
struct MountEntry
{
    std::string strMountPoint;  // the target the entry stands for
    std::string strDisplayText; // "(" + mount point + ") " + a readable name
    std::string strSource;      // device, share or dataset, as the kernel names it
    std::string strType;        // file system type
};

// Volume labels by device path ("/dev/sdb1" -> "BACKUP").
using VolumeLabels = std::map<std::string, std::string>;

// The mounts of a /proc/self/mountinfo text that hold user data: file systems
// on block devices, network file systems, ZFS datasets and FUSE mounts, in the
// order of the table; a mount point mounted over again is listed once, at its
// first place, with the mount on top (the one that is written to). Left out: pseudo file systems, memory file systems
// under /dev and /run (tmpfs elsewhere, such as /tmp, is kept), read-only
// images (squashfs, iso9660, erofs, read-only loop devices), anything below
// /proc and /sys, and the single-file bind mounts a container gets
// (/etc/hosts, /etc/hostname, /etc/resolv.conf).
std::vector<MountEntry> ParseMountInfo(std::string_view text, const VolumeLabels& labels = {});

// The mounts of this process: /proc/self/mountinfo with the labels of
// /dev/disk/by-label, without mount points that are not directories (any
// other file bind-mounted into a container). Empty when the table cannot be read.
std::vector<MountEntry> ListMounts();

// Labels found under a by-label directory, keyed by the resolved device path.
VolumeLabels ReadVolumeLabels(const std::string& strByLabelDir = "/dev/disk/by-label");

// Undoes the kernel's octal escapes (\040 space, \011 tab, \012 line feed,
// \134 backslash) and udev's \xHH escapes in a name.
std::string DecodeMountName(std::string_view name);
