// The item search (TKNITM). Every search type keeps its own state between
// calls (the node last returned and the two texts in force), so searches of
// different types run independently; a caller can suspend one by swapping a
// fresh state in and resume it by swapping back.
//
// Where each search looks:
//   SENSITIV                  the children of "SENSITIV" (the studies)
//   BLK_/STR_/PTB_/EQP_ANY    every grandchild of "BLOCK", "STREAM",
//                             "PROP-TAB" or "COSTING" "EQUIPMEN": ARG3 the
//                             category (the child), ARG4 the object
//   BLK_/STR_/PTB_SPEC        the children of category ARG3 (input)
//   EQP_SPEC                  the children of "COSTING" "EQUIPMEN" in ARG4
//   BLK_/STR_/PTB_/EQP_TYPE   the children of the category node, one each
//                             in ARG3 (the block models, stream types, ...)
//   HCURVE ... ICH_HCUR       the sections of block ARG4 named like the
//                             search type; ARG3 receives the block's model
//   COL_PROF                  the profile sections of block ARG4, one per
//                             run of equal sections
// Category keywords are matched as the tree matches path keywords, so
// "PROP-TAB" finds "PROP-TABLE" and "SENSITIV" finds "SENSITIVITY".
#include "loading/item_search.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "io/messages.hpp"
#include "store/dataset_tree.hpp"
#include "store/identifier_access.hpp"

namespace flowsum {

namespace {

constexpr size_t kArgChars = 128;  // characters of ARG3 and ARG4 kept between calls

// Steps of the scans along a block's sections, and of a run of equal
// profile sections skipped at once.
constexpr int64_t kMaxSectionSteps = 9999;
constexpr int64_t kMaxProfileRun = 999;
// Categories without objects skipped in a row by an "_ANY" search.
constexpr int64_t kMaxCategorySteps = 10000;

constexpr std::array<std::string_view, kSearchTypes> kNames{
    "SENSITIV", "BLK_ANY",  "BLK_SPEC", "BLK_TYPE", "STR_ANY",  "STR_SPEC", "STR_TYPE",
    "PTB_ANY",  "PTB_SPEC", "PTB_TYPE", "EQP_ANY",  "EQP_SPEC", "EQP_TYPE", "HCURVE",
    "HOT_HCUR", "COLD_HCU", "REB_HCUR", "COND_HCU", "ICH_HCUR", "COL_PROF"};

using Text = std::array<char, kArgChars>;

Text blank_text() {
  Text t;
  t.fill(' ');
  return t;
}

struct SearchState {
  int64_t pos = 0;
  Text arg3 = blank_text();
  Text arg4 = blank_text();
};

std::array<SearchState, kSearchTypes + 1> g_states;  // by slot; slot 0 unused

enum class Family { kSensitivity, kAny, kSpec, kType, kSection };

Family family_of(SearchType t) {
  const int s = static_cast<int>(t);
  if (s == 1) return Family::kSensitivity;
  if (s >= 14) return Family::kSection;
  switch ((s - 2) % 3) {
    case 0: return Family::kAny;
    case 1: return Family::kSpec;
    default: return Family::kType;
  }
}

// The path of the category node of searches 2 to 13.
std::vector<std::string_view> category_path(SearchType t) {
  const int s = static_cast<int>(t);
  if (s <= 4) return {"BLOCK"};
  if (s <= 7) return {"STREAM"};
  if (s <= 10) return {"PROP-TAB"};
  return {"COSTING", "EQUIPMEN"};
}

std::string_view trimmed(const Text& t) {
  return TextField::trim_right(std::string_view(t.data(), t.size()));
}

// The first 128 characters of a caller's field, blank-padded.
Text from_field(TextField f) {
  Text t = blank_text();
  if (f.len > 0) std::memcpy(t.data(), f.data, std::min(f.len, t.size()));
  return t;
}

// The section name searches 14 to 20 look for in a block of this model.
std::string_view section_name(SearchType t, std::string_view model) {
  if (t != SearchType::kColumnProfile) return TextField::trim_right(search_type_name(t));
  const std::string_view m = model.substr(0, std::min<size_t>(model.size(), 8));
  if (padded_equal(m, "LINKEDCO")) return "COL_INFO";
  if (padded_equal(m, "SCRUB")) return "LKCL_PRO";
  return "TRC_PRO";
}

// One call of TKNITM. The caller's texts are copied into a3 and a4 (128
// characters); the call works on these, and at the end the texts it
// produced go back to the caller's fields and all of it to the saved state.
class Search {
 public:
  Search(SearchType type, TextField arg3, TextField arg4, int64_t& ipos)
      : type_(type),
        family_(family_of(type)),
        state_(g_states[static_cast<size_t>(type)]),
        tree_(TreeNodes::loaded()),
        arg3_(arg3),
        arg4_(arg4),
        ipos_(ipos),
        a3_(from_field(arg3)),
        a4_(from_field(arg4)) {}

  void run(int64_t mode) {
    if (mode == kSwapState) {
      swap();
      return;
    }
    bool start = mode != kNextItem || state_.pos == 0;
    if (!start && family_ == Family::kSpec && a3_ != state_.arg3) start = true;
    if (!start && family_ == Family::kSection && a4_ != state_.arg4) start = true;
    if (start ? begin() : advance()) finish();
  }

 private:
  // Exchange the saved state with the caller's IPOS, ARG3 and ARG4.
  void swap() {
    const SearchState saved = state_;
    state_.pos = ipos_;
    state_.arg3 = a3_;
    state_.arg4 = a4_;
    ipos_ = saved.pos;
    arg3_.assign(std::string_view(saved.arg3.data(), saved.arg3.size()));
    arg4_.assign(std::string_view(saved.arg4.data(), saved.arg4.size()));
  }

  void set3(int64_t node) {
    a3_ = blank_text();
    if (node != 0) tree_.keyword(node, a3_.data(), a3_.size());
    out3_ = true;
  }
  void set4(int64_t node) {
    a4_ = blank_text();
    if (node != 0) tree_.keyword(node, a4_.data(), a4_.size());
    out4_ = true;
  }

  // The first category node at or after c (along its chain) that has an
  // object below it; 0 when there is none.
  int64_t category_with_objects(int64_t c) const {
    for (int64_t steps = 0; c != 0 && steps < kMaxCategorySteps; ++steps) {
      if (tree_.first_child(c) != 0) return c;
      c = tree_.next_sibling(c);
    }
    return 0;
  }

  // The first node at or after p (along its chain) named `name`, at most
  // kMaxSectionSteps links on; 0 when there is none.
  int64_t section_from(int64_t p, std::string_view name) const {
    for (int64_t steps = 0; p != 0; ++steps) {
      if (tree_.matches(p, name)) return p;
      if (steps == kMaxSectionSteps) return 0;
      p = tree_.next_sibling(p);
    }
    return 0;
  }

  // Start a new search. False after an error (IPOS negative, a message,
  // the saved state unchanged).
  bool begin() {
    std::vector<std::string_view> path;
    std::string model;
    switch (family_) {
      case Family::kSensitivity:
        path = {"SENSITIV"};
        break;
      case Family::kAny:
      case Family::kType:
        path = category_path(type_);
        break;
      case Family::kSpec:
        path = category_path(type_);
        if (type_ != SearchType::kEquipmentSpec) {
          if (arg3_.len == 0 || arg3_.data[0] == ' ') {
            ipos_ = kInvalidCategory;
            write_message({" INVALID TYPE (" + padded(arg3_.view(), 8) + ") FOR (" +
                           std::string(search_type_name(type_)) + ") SEARCH IN ROUTINE TKNITM"});
            return false;
          }
          path.push_back(trimmed(a3_));
        }
        break;
      case Family::kSection: {
        // The block's model always comes from the block table, whatever
        // ARG3 holds on entry.
        const ItemMatch block = find_block(trimmed(a4_));
        if (!block) {
          ipos_ = kUnknownBlock;
          write_message({" CANNOT LOCATE " + std::string(search_type_name(type_)) +
                         " DATA FOR AN UNKNOWN BLOCK (" + padded(arg4_.view(), 8) +
                         ") IN ROUTINE TKNITM"});
          return false;
        }
        model.assign(block.type.view());
        path = {"BLOCK", TextField::trim_right(model), trimmed(a4_)};
        break;
      }
    }

    state_.pos = 0;
    int64_t node = 0;
    tree_.find(path, node);
    int64_t p = 0;
    switch (family_) {
      case Family::kSensitivity:
      case Family::kSpec:
        p = tree_.first_child(node);
        set4(p);
        break;
      case Family::kType:
        p = tree_.first_child(node);
        set3(p);
        break;
      case Family::kAny: {
        // A category without objects below it is passed over, so that it
        // does not hide the categories after it.
        const int64_t c = category_with_objects(tree_.first_child(node));
        p = tree_.first_child(c);
        set3(p != 0 ? c : 0);
        set4(p);
        break;
      }
      case Family::kSection:
        a3_ = blank_text();
        std::memcpy(a3_.data(), model.data(), std::min(model.size(), a3_.size()));
        out3_ = true;
        p = section_from(tree_.first_child(node), section_name(type_, model));
        break;
    }
    ipos_ = p;
    return true;
  }

  // The next object of the search under way.
  bool advance() {
    const int64_t p = state_.pos;
    int64_t n = 0;
    switch (family_) {
      case Family::kSensitivity:
      case Family::kSpec:
        n = tree_.next_sibling(p);
        set4(n);
        break;
      case Family::kType:
        n = tree_.next_sibling(p);
        set3(n);
        break;
      case Family::kAny:
        n = tree_.next_sibling(p);
        if (n != 0) {
          a3_ = state_.arg3;
          out3_ = true;
          set4(n);
        } else {
          // The category's chain has ended: go on with the next category
          // that has objects.
          const int64_t c = category_with_objects(tree_.next_sibling(tree_.chain_parent(p)));
          n = tree_.first_child(c);
          set3(n != 0 ? c : 0);
          set4(n);
        }
        break;
      case Family::kSection: {
        a3_ = state_.arg3;
        out3_ = true;
        const std::string_view name = section_name(type_, trimmed(state_.arg3));
        n = p;
        if (tree_.matches(n, name)) {
          const int64_t run = type_ == SearchType::kColumnProfile ? kMaxProfileRun : 1;
          for (int64_t k = 0; k < run && n != 0 && tree_.matches(n, name); ++k)
            n = tree_.next_sibling(n);
        }
        n = section_from(n, name);
        break;
      }
    }
    ipos_ = n;
    return true;
  }

  void finish() {
    state_.pos = ipos_ > 0 ? ipos_ : 0;
    if (ipos_ < 0) ipos_ = 0;
    state_.arg3 = a3_;
    state_.arg4 = a4_;
    if (out3_) arg3_.assign(trimmed(a3_));
    if (out4_) arg4_.assign(trimmed(a4_));
  }

  SearchType type_;
  Family family_;
  SearchState& state_;
  TreeNodes tree_;
  TextField arg3_, arg4_;
  int64_t& ipos_;
  Text a3_, a4_;
  bool out3_ = false, out4_ = false;
};

}  // namespace

SearchType search_type(std::string_view stype) {
  const std::string_view s = stype.substr(0, std::min<size_t>(stype.size(), 8));
  for (size_t i = 0; i < kNames.size(); ++i)
    if (padded_equal(s, kNames[i])) return static_cast<SearchType>(i + 1);
  return SearchType::kNone;
}

std::string_view search_type_name(SearchType type) {
  static const std::array<std::string, kSearchTypes + 1> padded_names = [] {
    std::array<std::string, kSearchTypes + 1> names;
    names[0] = std::string(8, ' ');
    for (size_t i = 0; i < kNames.size(); ++i) names[i + 1] = padded(kNames[i], 8);
    return names;
  }();
  const int s = static_cast<int>(type);
  return padded_names[s >= 1 && s <= kSearchTypes ? static_cast<size_t>(s) : 0];
}

void next_item(SearchType type, int64_t mode, TextField arg3, TextField arg4, int64_t& ipos) {
  if (type == SearchType::kNone) {
    ipos = kUnknownSearchType;
    write_message({" UNKNOWN SEARCH TYPE (" + std::string(search_type_name(type)) +
                   ") IN ROUTINE TKNITM"});
    return;
  }
  Search(type, arg3, arg4, ipos).run(mode);
}

void next_item(std::string_view stype, int64_t mode, TextField arg3, TextField arg4,
               int64_t& ipos) {
  const SearchType type = search_type(stype);
  if (type == SearchType::kNone) {
    ipos = kUnknownSearchType;
    write_message({" UNKNOWN SEARCH TYPE (" + padded(stype, 8) + ") IN ROUTINE TKNITM"});
    return;
  }
  next_item(type, mode, arg3, arg4, ipos);
}

void reset_item_searches() { g_states.fill(SearchState{}); }

}  // namespace flowsum

extern "C" {

void tknitm_(const char* stype, int64_t* mode, char* arg3, char* arg4, int64_t* ipos,
             size_t stype_len, size_t arg3_len, size_t arg4_len) {
  using namespace flowsum;
  try {
    next_item(TextField(stype, stype_len).view(), *mode, TextField(arg3, arg3_len),
              TextField(arg4, arg4_len), *ipos);
  } catch (...) {
    // Only a message line or a path can fail to be allocated; the search
    // then reports the end.
    *ipos = 0;
  }
}

}  // extern "C"
