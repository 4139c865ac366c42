#include "platform/MountList.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Kernel and desktop file systems that hold no user data of their own.
constexpr std::array PSEUDO_TYPES = {
    "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "mqueue", "debugfs", "tracefs",
    "securityfs", "pstore", "bpf", "autofs", "configfs", "fusectl", "hugetlbfs", "binfmt_misc",
    "nsfs", "rpc_pipefs", "efivarfs", "selinuxfs", "overlay", "aufs", "ramfs", "nfsd", "rootfs",
    "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "fuse.xdg-document-portal", "fuse.snapfuse",
};
// Read-only images: nothing can be written there.
constexpr std::array IMAGE_TYPES = {"squashfs", "iso9660", "erofs", "cramfs", "udf"};
// Shares and cluster file systems reached over the network.
constexpr std::array NETWORK_TYPES = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ceph", "glusterfs", "9p", "afs", "lustre",
    "beegfs", "gpfs", "ocfs2", "gfs2", "virtiofs", "davfs", "orangefs", "fuse.glusterfs",
};
// Files a container runtime bind-mounts one by one.
constexpr std::array CONTAINER_FILES = {"/etc/hosts", "/etc/hostname", "/etc/resolv.conf"};

template <std::size_t N>
bool Contains(const std::array<const char*, N>& list, std::string_view value)
{
    for (const char* item : list)
        if (value == item)
            return true;
    return false;
}

bool IsBelow(std::string_view path, std::string_view dir)
{
    return path == dir || (path.size() > dir.size() && path.substr(0, dir.size()) == dir && path[dir.size()] == '/');
}

bool HasOption(std::string_view options, std::string_view option)
{
    std::size_t start = 0;
    while (start <= options.size()) {
        const std::size_t comma = options.find(',', start);
        const std::string_view item =
            options.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        if (item == option)
            return true;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return false;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct MountLine
{
    std::string mountPoint;
    std::string options;
    std::string type;
    std::string source;
};

// A line: id parent maj:min root mountpoint options [optional...] - type source superoptions
bool SplitLine(const std::string& line, MountLine& out)
{
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;)
        fields.push_back(field);
    std::size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-")
        ++dash;
    if (dash + 1 >= fields.size())
        return false;
    out.mountPoint = DecodeMountName(fields[4]);
    out.options = fields[5];
    out.type = fields[dash + 1];
    out.source = dash + 2 < fields.size() ? DecodeMountName(fields[dash + 2]) : std::string();
    return true;
}

bool IsListed(const MountLine& m)
{
    if (m.mountPoint.empty() || m.mountPoint[0] != '/')
        return false;
    if (IsBelow(m.mountPoint, "/proc") || IsBelow(m.mountPoint, "/sys"))
        return false;
    if (Contains(CONTAINER_FILES, m.mountPoint))
        return false;
    if (Contains(PSEUDO_TYPES, m.type) || Contains(IMAGE_TYPES, m.type))
        return false;
    if (m.type == "tmpfs")
        return !IsBelow(m.mountPoint, "/dev") && !IsBelow(m.mountPoint, "/run");
    const bool bBlockDevice = m.source.rfind("/dev/", 0) == 0;
    // A loop device mounted read-only is an image (a snap, a disc file).
    if (bBlockDevice && m.source.rfind("/dev/loop", 0) == 0 && HasOption(m.options, "ro"))
        return false;
    if (Contains(NETWORK_TYPES, m.type) || m.type == "zfs")
        return true;
    if (m.type == "fuseblk" || m.type.rfind("fuse.", 0) == 0)
        return true;
    return bBlockDevice;
}

std::string ReadableName(const MountLine& m, const VolumeLabels& labels)
{
    if (const auto it = labels.find(m.source); it != labels.end() && !it->second.empty())
        return it->second;
    if (m.source.empty() || m.source == "none")
        return m.type;
    return m.source + " " + m.type;
}

std::string ResolvedPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}

std::string DecodeMountName(std::string_view name)
{
    auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && name.size() - i >= 4) {
            const char a = name[i + 1], b = name[i + 2], c = name[i + 3];
            if (a >= '0' && a <= '3' && octal(b) && octal(c)) {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
            if (a == 'x' && HexValue(b) >= 0 && HexValue(c) >= 0) {
                out += static_cast<char>(HexValue(b) * 16 + HexValue(c));
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::vector<MountEntry> ParseMountInfo(std::string_view text, const VolumeLabels& labels)
{
    std::vector<MountEntry> entries;
    std::map<std::string, std::size_t> seen;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        MountLine m;
        if (!SplitLine(line, m))
            continue;
        const auto known = seen.find(m.mountPoint);
        if (!IsListed(m)) {
            // Mounted over by something that holds no data: the entry below is hidden.
            if (known != seen.end())
                entries[known->second].strMountPoint.clear();
            continue;
        }
        MountEntry entry;
        entry.strMountPoint = m.mountPoint;
        entry.strDisplayText = "(" + m.mountPoint + ") " + ReadableName(m, labels);
        entry.strSource = m.source;
        entry.strType = m.type;
        if (known != seen.end()) {
            entries[known->second] = std::move(entry);
        } else {
            seen.emplace(m.mountPoint, entries.size());
            entries.push_back(std::move(entry));
        }
    }
    std::erase_if(entries, [](const MountEntry& e) { return e.strMountPoint.empty(); });
    return entries;
}

VolumeLabels ReadVolumeLabels(const std::string& strByLabelDir)
{
    VolumeLabels labels;
    DIR* dir = opendir(strByLabelDir.c_str());
    if (!dir)
        return labels;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        labels[ResolvedPath(strByLabelDir + "/" + name)] = DecodeMountName(name);
    }
    closedir(dir);
    return labels;
}

std::vector<MountEntry> ListMounts()
{
    std::ifstream file("/proc/self/mountinfo");
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    // Labels are keyed by resolved device; sources such as /dev/mapper/x are links.
    const VolumeLabels byDevice = ReadVolumeLabels();
    std::vector<MountEntry> entries;
    for (auto& entry : ParseMountInfo(text.str())) {
        if (!IsDirectory(entry.strMountPoint))
            continue;
        if (entry.strSource.rfind("/dev/", 0) == 0) {
            if (const auto it = byDevice.find(ResolvedPath(entry.strSource)); it != byDevice.end())
                entry.strDisplayText = "(" + entry.strMountPoint + ") " + it->second;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}
