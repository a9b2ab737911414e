#include "tools/medium_common/medium_tree.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#endif

namespace medium_common {

#ifdef _WIN32

MediumTree ReadMedium(const std::string&) { return MediumTree(); }

#else

namespace {

// The path with every link resolved; empty, with errno set, when it names
// nothing.
std::string Resolved(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return std::string();
    std::string out = real;
    std::free(real);
    return out;
}

std::string LinkText(const std::string& path) {
    std::string text(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), &text[0], text.size());
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// The walk runs twice: the first time it sorts the links into their kinds
// (a loop shows only on the way round), the second it takes the entries,
// through the links that stay inside.
class Walker {
public:
    explicit Walker(const std::string& root) : m_root(root) {}

    void Run(MediumTree& tree) {
        m_tree = &tree;
        m_taking = false;
        Walk(m_root, "");
        if (!tree.error.empty()) return;
        m_taking = true;
        Walk(m_root, "");
        for (auto& link : m_links) tree.links.push_back(link.second);
        std::sort(tree.entries.begin(), tree.entries.end(),
                  [](const MediumEntry& a, const MediumEntry& b) { return a.path < b.path; });
        std::sort(tree.others.begin(), tree.others.end());
        tree.others.erase(std::unique(tree.others.begin(), tree.others.end()), tree.others.end());
    }

private:
    bool Inside(const std::string& real) const {
        return m_root == "/" || real == m_root || real.compare(0, m_root.size() + 1, m_root + "/") == 0;
    }
    std::string Relative(const std::string& real) const {
        if (real == m_root) return std::string();
        return real.substr(m_root == "/" ? 1 : m_root.size() + 1);
    }

    void Take(const std::string& path, const std::string& source, bool folder) {
        if (m_taking) {
            m_tree->entries.push_back({path, source, folder});
        } else if (++m_count > kMostEntries) {
            m_tree->error = "more than " + std::to_string(kMostEntries) +
                            " files and folders (links that name folders multiply them)";
        }
    }

    // What the link at `at` (a path free of links but for its last part)
    // comes to, the first time it is met.
    MediumLink& Classify(const std::string& at) {
        const std::string where = Relative(at);
        auto found = m_links.find(where);
        if (found != m_links.end()) return found->second;
        MediumLink& link = m_links[where];
        link.path = where;
        link.target = LinkText(at);
        const std::string end = Resolved(at);
        if (end.empty()) {
            link.kind = LinkKind::Dangling;
            link.end = errno == ENOENT || errno == ENOTDIR ? "nothing is there"
                       : errno == ELOOP                    ? "its links go round"
                                                           : std::strerror(errno);
        } else if (!Inside(end)) {
            link.kind = LinkKind::Leaves;
            link.end = end;
        } else {
            link.kind = LinkKind::Inside;
            link.end = Relative(end);
        }
        return link;
    }

    // The folder `real` (free of links) as `shown` on the disc.
    void Walk(const std::string& real, const std::string& shown) {
        DIR* dir = opendir(real.c_str());
        if (!dir) {
            if (m_tree->error.empty())
                m_tree->error = "cannot read " + real + ": " + std::strerror(errno);
            return;
        }
        std::vector<std::string> names;
        while (const dirent* d = readdir(dir)) {
            const std::string name = d->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
        std::sort(names.begin(), names.end());
        m_walking.push_back(real);
        for (const std::string& name : names) {
            if (!m_tree->error.empty()) break;
            const std::string at = (real == "/" ? "" : real) + "/" + name;
            const std::string path = shown.empty() ? name : shown + "/" + name;
            struct stat st;
            if (lstat(at.c_str(), &st) != 0) continue;  // gone while the walk ran
            std::string source = at;
            if (S_ISLNK(st.st_mode)) {
                MediumLink& link = Classify(at);
                if (link.kind != LinkKind::Inside) continue;
                source = m_root == "/" ? "/" + link.end
                                       : link.end.empty() ? m_root : m_root + "/" + link.end;
                if (stat(source.c_str(), &st) != 0) continue;
                link.folder = S_ISDIR(st.st_mode);
                if (S_ISDIR(st.st_mode) &&
                    std::find(m_walking.begin(), m_walking.end(), source) != m_walking.end()) {
                    link.kind = LinkKind::Loop;
                    continue;
                }
            }
            if (S_ISDIR(st.st_mode)) {
                Take(path, source, true);
                Walk(source, path);
            } else if (S_ISREG(st.st_mode)) {
                Take(path, source, false);
            } else if (m_taking) {
                m_tree->others.push_back(path);
            }
        }
        m_walking.pop_back();
    }

    const std::string m_root;
    MediumTree* m_tree = nullptr;
    bool m_taking = false;
    size_t m_count = 0;
    std::map<std::string, MediumLink> m_links;  // by where they are
    std::vector<std::string> m_walking;         // the folders the walk is in, outermost first
};

}  // namespace

MediumTree ReadMedium(const std::string& root) {
    MediumTree tree;
    const std::string real = Resolved(root);
    if (real.empty()) {
        tree.error = "cannot read " + root + ": " + std::strerror(errno);
        return tree;
    }
    Walker(real).Run(tree);
    return tree;
}

#endif

}  // namespace medium_common
