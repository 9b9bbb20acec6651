#include "config/file_walk.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "config/file_access.h"

namespace ramulet {

namespace fs = std::filesystem;

namespace {

struct Folder {
  fs::path full;
  std::string relative;   // "" for the root
  std::string canonical;  // where it really is, to read it once
  // For a linked folder: the canonical path of the folder holding the link.
  std::string canonical_parent;
};

// Orders a heap of linked folders so that the first path comes out first.
struct LaterPath {
  bool operator()(const Folder& a, const Folder& b) const { return a.relative > b.relative; }
};

std::string Shown(const std::string& relative) { return relative.empty() ? std::string(".") : relative; }

std::string Joined(const std::string& relative, const std::string& name) {
  return relative.empty() ? name : relative + "/" + name;
}

// Whether `folder` is `ancestor` or lies inside it.
bool IsWithin(std::string_view folder, std::string_view ancestor) {
  if (!folder.starts_with(ancestor)) return false;
  return folder.size() == ancestor.size() || folder[ancestor.size()] == '/' || folder[ancestor.size()] == '\\' ||
         ancestor.ends_with('/') || ancestor.ends_with('\\');
}

// The stores of version control systems hold no module a user means,
// and may hold very many files.
bool IsVersionControlFolder(std::string_view name) { return name == ".git" || name == ".svn" || name == ".hg"; }

class Walker {
 public:
  Walker(const std::function<bool(std::string_view)>& wanted, WalkResult& result) : wanted_(wanted), result_(result) {}

  void Run(const fs::path& root) {
    std::error_code error;
    const fs::path canonical = fs::canonical(root, error);
    plain_.push_back(Folder{root, std::string(), PathToUtf8(error ? root : canonical), {}});
    visited_.insert(plain_.back().canonical);
    // Plain folders first; then the linked ones, in the order of their
    // paths, each of which may add more of both.
    while (!plain_.empty() || !linked_.empty()) {
      while (!plain_.empty()) {
        Folder folder = std::move(plain_.back());
        plain_.pop_back();
        ReadFolder(folder);
      }
      if (!linked_.empty()) {
        std::pop_heap(linked_.begin(), linked_.end(), LaterPath());
        Folder link = std::move(linked_.back());
        linked_.pop_back();
        EnterLink(std::move(link));
      }
    }
  }

 private:
  void EnterLink(Folder link) {
    std::error_code error;
    const fs::path target = fs::canonical(link.full, error);
    if (error) {
      result_.problems.push_back(link.relative + ": cannot follow the link: " + error.message());
      return;
    }
    link.canonical = PathToUtf8(target);
    if (visited_.insert(link.canonical).second) {
      plain_.push_back(std::move(link));
      return;
    }
    if (IsWithin(link.canonical_parent, link.canonical)) {
      result_.problems.push_back(link.relative + ": a symbolic link loop (it leads back to " + link.canonical +
                                 "), not followed");
    } else {
      result_.problems.push_back(link.relative + ": a link to " + link.canonical +
                                 ", which is read already under another path, not followed");
    }
  }

  void ReadFolder(const Folder& folder) {
    std::error_code error;
    fs::directory_iterator it(folder.full, error);
    if (error) {
      result_.problems.push_back(Shown(folder.relative) + ": cannot read the folder: " + error.message());
      return;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
      if (error) break;
      ReadEntry(folder, *it);
    }
    if (error)
      result_.problems.push_back(Shown(folder.relative) + ": the folder was not read to its end: " + error.message());
  }

  void ReadEntry(const Folder& folder, const fs::directory_entry& entry) {
    std::error_code error;
    const std::string name = PathToUtf8(entry.path().filename());
    if (IsVersionControlFolder(name)) return;
    const bool link = entry.is_symlink(error);
    if (!link) {
      if (entry.is_directory(error)) {
        Folder sub{entry.path(),
                   Joined(folder.relative, name),
                   PathToUtf8(PathFromUtf8(folder.canonical) / entry.path().filename()),
                   {}};
        // A link that leads here later is not followed. Inside a linked
        // folder, a folder read already through another link is not read
        // again.
        if (visited_.insert(sub.canonical).second) {
          plain_.push_back(std::move(sub));
        } else {
          result_.problems.push_back(sub.relative + ": read already under another path, not read again");
        }
      } else if (wanted_(name)) {
        result_.files.push_back(Joined(folder.relative, name));
      }
      return;
    }
    const fs::file_status target = entry.status(error);
    if (error || !fs::exists(target)) {
      result_.problems.push_back(Joined(folder.relative, name) + ": a link that leads nowhere readable" +
                                 (error ? ": " + error.message() : std::string()));
    } else if (fs::is_directory(target)) {
      linked_.push_back(Folder{entry.path(), Joined(folder.relative, name), {}, folder.canonical});
      std::push_heap(linked_.begin(), linked_.end(), LaterPath());
    } else if (wanted_(name)) {
      result_.files.push_back(Joined(folder.relative, name));
    }
  }

  const std::function<bool(std::string_view)>& wanted_;
  WalkResult& result_;
  std::vector<Folder> plain_;
  std::vector<Folder> linked_;
  std::unordered_set<std::string> visited_;
};

}  // namespace

WalkResult WalkFiles(std::string_view root, const std::function<bool(std::string_view name)>& wanted) {
  WalkResult result;
  Walker(wanted, result).Run(PathFromUtf8(root));
  return result;
}

}  // namespace ramulet
