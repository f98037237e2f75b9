// Connectivity over the block data sets "BLKIN", "TYPIN", "BLKOUT",
// "TYPOUT", "IN_PORT", "OUT_PORT" and the stream data set "STR_MAIN".
#include "query/connectivity.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "flowsum.h"
#include "loading/globals.hpp"
#include "query/stream_results.hpp"
#include "loading/loader.hpp"
#include "store/dataset_lookup.hpp"
#include "store/dataset_tree.hpp"
#include "store/packed_words.hpp"
#include "store/identifier_access.hpp"

namespace flowsum {

namespace {

constexpr size_t kText8 = 8;

struct Model {
  std::string_view name;
  std::array<std::string_view, 12> in, out;
};

// Port labels of the models that have typed ports.
constexpr std::array<Model, 10> kPortModels{{
    {"TRAYCOL", {"F", "HS"}, {"VD", "LD", "R", "SP", "WD", "CHS", "RHS"}},
    {"SCRUB", {"TF", "BF", "SF", "HS"}, {"TP", "BP", "SP", "HS"}},
    {"LINKEDCO", {"F", "HS"}, {"VD", "LD", "R", "SP", "CWD", "HS"}},
    {"SOLVEXT", {"TF", "BF", "SF", "HS"}, {"TP", "BP", "SP", "HS"}},
    {"SHORTC", {"F", "SF", "SF", "SF", "SF", "SF"}, {"D", "B", "SP"}},
    {"TWOSIDE", {"HF", "CF"}, {"HP", "CP", "HWD", "CWD"}},
    {"MULTSIDE", {"HF", "CF"}, {"HP", "CP", "HWD", "CWD"}},
    {"STAGEBST", {"S1F", "IF", "WS", "HS"}, {"FLS", "LK", "WD", "WS", "HS"}},
    {"KINETCOL", {"F", "HS"}, {"VD", "LD", "R", "SP", "CWD", "HS"}},
    {"CRUDEUNI",
     {"MF", "SF", "MHF", "SHF", "PHF"},
     {"VD", "LD", "B", "SP", "CWD", "SB", "PS", "CHS", "RHS", "MHP", "SHP", "PHP"}},
}};

const Model* port_model(std::string_view model) {
  for (const Model& m : kPortModels)
    if (padded_equal(m.name, model.substr(0, std::min<size_t>(12, model.size())))) return &m;
  return nullptr;
}

struct BlockRef {
  ItemMatch match;
  std::string model;  // the model keyword of the block's data sets
};

// The block's paths carry its stored 8-character model keyword ("LINKEDCO",
// not the "LINKEDCOL" a listing shows); a path keyword of 8 characters also
// finds a longer keyword written in full, as the tree compares keys.
BlockRef find_block_ref(std::string_view id) {
  BlockRef b;
  b.match = find_block(id);
  if (b.match) b.model = std::string(TextField::trim_right(b.match.type.view()));
  return b;
}

DatasetAnswer block_dataset(const BlockRef& b, std::string_view id, std::string_view section) {
  const std::array<std::string_view, 4> path{"BLOCK", b.model, TextField::trim_right(id),
                                             section};
  return lookup_dataset(path);
}

size_t idx(int64_t i) { return static_cast<size_t>(i); }

// The texts of one connection list (BLKIN, TYPIN, BLKOUT, TYPOUT) as a
// lookup with a blank qualifier reads them; none when the data set is not
// found or empty.
std::vector<std::string> list_texts(const DatasetAnswer& a) {
  std::vector<std::string> texts;
  if (!a.found()) return texts;
  texts.reserve(idx(a.ndata));
  for (int64_t j = 1; j <= a.ndata; ++j) texts.push_back(a.text_value(j));
  return texts;
}

// One list of TKCNCT: identifiers (qualified with the block's prefix) or
// types, written only when the whole list fits.
void fill_list(const std::vector<std::string>& texts, int64_t capacity, char* base, size_t len,
               bool ids, bool long_texts, std::string_view prefix) {
  if (texts.empty() || static_cast<int64_t>(texts.size()) > capacity) return;
  for (size_t j = 0; j < texts.size(); ++j) {
    const TextField f = text_element(base, len, j);
    if (!ids || !long_texts) f.assign(padded(texts[j], kText8));
    else f.assign(texts[j]);
    if (ids) qualify(f, prefix);
  }
}

// The inlet and outlet lists of the block TKCNTN counted last. A caller
// that sizes TKCNCT's arrays by TKCNTN asks for the same block next, and is
// answered from these instead of reading both lists again. They serve only
// while the load and its tree are the ones they were read from.
struct ConnectionMemory {
  bool valid = false;
  uint64_t serial = 0, tree_edits = 0;
  int64_t chars_per_word = 0;  // texts are read out of packed words
  std::string block;  // as asked for, without trailing blanks
  std::vector<std::string> inlets, outlets;

  bool serves(std::string_view id) const {
    return valid && serial == last_load().serial && tree_edits == loaded_tree_edits() &&
           chars_per_word == packed_chars_per_word() && block == TextField::trim_right(id);
  }
};
ConnectionMemory g_connections;

}  // namespace

std::string_view hierarchy_prefix(std::string_view id) {
  id = TextField::trim_right(id);
  const size_t last = id.rfind('.');
  return last == std::string_view::npos ? std::string_view{} : id.substr(0, last + 1);
}

std::string_view parent_prefix(std::string_view id) {
  id = TextField::trim_right(id);
  const size_t last = id.rfind('.');
  if (last == std::string_view::npos || last == 0) return {};
  const size_t second = id.rfind('.', last - 1);
  return second == std::string_view::npos ? std::string_view{} : id.substr(0, second + 1);
}

void qualify(TextField field, std::string_view prefix) {
  if (prefix.empty()) return;
  std::string q(prefix);
  q += field.trimmed();
  field.assign(q);
}

ConnectionCounts connection_counts(std::string_view block) {
  FreePointerGuard guard;
  ConnectionCounts c;
  g_connections.valid = false;
  const BlockRef b = find_block_ref(block);
  if (!b.match) return c;
  // The status is the tree search's for the outlet list, the last one
  // counted; the counts are those of the lists the readers read.
  auto count = [&](std::string_view section, int64_t& n, std::vector<std::string>& texts) {
    const std::array<std::string_view, 4> path{"BLOCK", b.model, TextField::trim_right(block),
                                               section};
    int64_t node = 0;
    const int64_t rc = TreeNodes::loaded().find(path, node);
    c.status = node != 0 ? 0 : rc != 0 ? rc : 1;
    if (c.status != 0) return false;
    const DatasetAnswer a = lookup_dataset(path);
    n = a.ndata > 0 ? a.ndata : 0;
    texts = list_texts(a);
    return true;
  };
  ConnectionMemory& m = g_connections;
  const bool both = count("BLKIN", c.inlets, m.inlets) & count("BLKOUT", c.outlets, m.outlets);
  if (both) {
    m.valid = true;
    m.serial = last_load().serial;
    m.tree_edits = loaded_tree_edits();
    m.chars_per_word = packed_chars_per_word();
    m.block = std::string(TextField::trim_right(block));
  }
  return c;
}

int64_t block_connections(std::string_view block, const ConnectionArrays& arr) {
  FreePointerGuard guard;
  const BlockRef b = find_block_ref(block);
  if (!b.match) return 1;
  // Connection blocks name their streams with long texts.
  const bool long_texts = b.model == "CONNECT";
  const std::string_view prefix = hierarchy_prefix(block);
  const bool kept = g_connections.serves(block);
  const std::vector<std::string> inlets =
      kept ? g_connections.inlets : list_texts(block_dataset(b, block, "BLKIN"));
  fill_list(inlets, arr.in_capacity, arr.in_ids, arr.in_ids_len, true, long_texts, prefix);
  fill_list(list_texts(block_dataset(b, block, "TYPIN")), arr.in_capacity, arr.in_types,
            arr.in_types_len, false, false, {});
  const std::vector<std::string> outlets =
      kept ? g_connections.outlets : list_texts(block_dataset(b, block, "BLKOUT"));
  fill_list(outlets, arr.out_capacity, arr.out_ids, arr.out_ids_len, true, long_texts, prefix);
  fill_list(list_texts(block_dataset(b, block, "TYPOUT")), arr.out_capacity, arr.out_types,
            arr.out_types_len, false, false, {});
  return 0;
}

std::string_view port_label(std::string_view model, bool inlet, int64_t code) {
  const Model* m = port_model(model);
  if (!m || code < 0 || code >= 12) return {};
  return inlet ? m->in[idx(code)] : m->out[idx(code)];
}

int64_t block_ports(std::string_view block, const PortArrays& arr) {
  FreePointerGuard guard;
  const BlockRef b = find_block_ref(block);
  if (!b.match) return 1;
  const std::string stored(TextField::trim_right(b.match.type.view()));
  if (!port_model(stored)) return 2;
  auto fill = [&](std::string_view section, bool inlet, int64_t want, char* labels,
                  size_t labels_len, int64_t* locations, int64_t* third) {
    if (want < 1) return;
    const DatasetAnswer a = block_dataset(b, block, section);
    const int64_t ports = a.found() ? a.ndata / 3 : 0;
    for (int64_t i = 1; i <= want; ++i) {
      const TextField label = text_element(labels, labels_len, idx(i - 1));
      if (i <= ports) {
        // A port code outside the model's table gets a blank label.
        label.assign(port_label(stored, inlet, a.int_value(3 * i - 2)));
        locations[i - 1] = a.int_value(3 * i - 1);
        third[i - 1] = a.int_value(3 * i);
      } else {
        label.assign("G");
        locations[i - 1] = 0;
        third[i - 1] = 0;
      }
    }
  };
  fill("IN_PORT", true, arr.m, arr.in_labels, arr.in_labels_len, arr.in_locations, arr.in_third);
  fill("OUT_PORT", false, arr.k, arr.out_labels, arr.out_labels_len, arr.out_locations,
       arr.out_third);
  // Locations are stored counted from 0 and returned counted from 1.
  for (int64_t i = 0; i < arr.m; ++i) arr.in_locations[i] += 1;
  for (int64_t i = 0; i < arr.k; ++i) arr.out_locations[i] += 1;
  return 0;
}

namespace {

// The prefix a "$" boundary block at one end of a stream takes: the stream's
// own prefix when the boundary block, qualified with it, lists this stream
// as its first outlet (source end) or first inlet (destination end);
// otherwise the parent prefix.
std::string_view boundary_prefix(std::string_view stream, std::string_view block, bool source) {
  const std::string_view own = hierarchy_prefix(stream);
  std::string qualified(128, ' ');
  TextField q(qualified.data(), qualified.size());
  q.assign(block);
  qualify(q, own);
  std::string id(128, ' '), type(12, ' ');
  ConnectionArrays arr;
  arr.in_capacity = 1;
  arr.out_capacity = 1;
  std::string other_id(128, ' '), other_type(12, ' ');
  char* ids = id.data();
  char* types = type.data();
  if (source) {
    arr.out_ids = ids, arr.out_ids_len = id.size(), arr.out_types = types, arr.out_types_len = 12;
    arr.in_ids = other_id.data(), arr.in_ids_len = other_id.size();
    arr.in_types = other_type.data(), arr.in_types_len = 12;
  } else {
    arr.in_ids = ids, arr.in_ids_len = id.size(), arr.in_types = types, arr.in_types_len = 12;
    arr.out_ids = other_id.data(), arr.out_ids_len = other_id.size();
    arr.out_types = other_type.data(), arr.out_types_len = 12;
  }
  const int64_t ierr = block_connections(q.trimmed(), arr);
  if (ierr != 0 || !padded_equal(id, stream)) return parent_prefix(stream);
  return own;
}

// The substream names of the last stream TKSINF read, one word each; kept
// between calls so that a pass over every stream allocates once.
std::vector<uint64_t>& substream_words() {
  static std::vector<uint64_t> words;
  return words;
}

}  // namespace

bool stream_info(std::string_view stream, TextField source, TextField destination,
                 int64_t& substreams, int64_t& rows) {
  FreePointerGuard guard;
  const StreamRef s = find_stream_ref(stream);
  if (!s) return false;
  stream = TextField::trim_right(stream.substr(0, std::min<size_t>(128, stream.size())));
  std::string src(kText8, ' '), dst(kText8, ' ');
  {
    const DatasetAnswer a = stream_dataset(s, stream, "STR_MAIN");
    const int64_t csub = a.find_qualifier("SUBSTREAM");
    substreams = 1;
    if (a.nqual > 0 && csub > 0 && a.ndata >= 2) {
      // Each value's 8-character substream name as one word: a new name
      // after a named one starts another substream; blank names count as none.
      // The names are all read first and compared in a second pass: a word
      // read right after its halves were written would wait for those stores
      // on every value.
      std::vector<uint64_t>& names = substream_words();
      names.resize(static_cast<size_t>(a.ndata));
      const DatasetAnswer own = a;  // not reachable through the names' bytes
      for (int64_t j = 1; j <= own.ndata; ++j)
        own.qualifier_into(csub, j, TextField(reinterpret_cast<char*>(&names[idx(j - 1)]), 8));
      constexpr uint64_t kBlank8 = 0x2020202020202020;
      for (size_t k = 1; k < names.size(); ++k) {
        const uint64_t cur = names[k], prev = names[k - 1];
        if (cur != kBlank8 && prev != kBlank8 && cur != prev) ++substreams;
      }
    }
    rows = std::max<int64_t>(0, a.ndata - 3);
    if (a.ndata >= 1) src = padded(a.text_value(1), kText8);
    if (a.ndata >= 2) dst = padded(a.text_value(2), kText8);
  }
  auto place = [&](TextField out, const std::string& block, bool is_source) {
    out.assign(block);
    // A feed has no source block and a product no destination: a blank name
    // stays blank rather than becoming a bare prefix.
    if (TextField::trim_right(block).empty()) return;
    const std::string_view prefix = block[0] == '$'
                                        ? boundary_prefix(stream, TextField::trim_right(block),
                                                          is_source)
                                        : hierarchy_prefix(stream);
    qualify(out, prefix);
  };
  place(source, src, true);
  place(destination, dst, false);
  return true;
}

}  // namespace flowsum

extern "C" {

void tkcntn_(const char* block, int64_t* nin, int64_t* nout, int64_t* status, size_t block_len) {
  const flowsum::ConnectionCounts c = flowsum::connection_counts(std::string_view(block, block_len));
  *nin = c.inlets;
  *nout = c.outlets;
  *status = c.status;
}

void tkcnct_(const char* block, int64_t* in_capacity, int64_t* out_capacity, char* in_ids,
             char* in_types, char* out_ids, char* out_types, int64_t* ierr, size_t block_len,
             size_t in_ids_len, size_t in_types_len, size_t out_ids_len, size_t out_types_len) {
  using namespace flowsum;
  *ierr = 1;
  ConnectionArrays arr{*in_capacity, *out_capacity, in_ids,  in_ids_len,  in_types,
                       in_types_len, out_ids,       out_ids_len, out_types, out_types_len};
  *ierr = block_connections(std::string_view(block, block_len), arr);
}

void tkport_(const char* block, int64_t* m, int64_t* k, char* in_labels, int64_t* in_locations,
             int64_t* in_third, char* out_labels, int64_t* out_locations, int64_t* out_third,
             int64_t* ierr, size_t block_len, size_t in_labels_len, size_t out_labels_len) {
  using namespace flowsum;
  PortArrays arr{std::max<int64_t>(0, *m), std::max<int64_t>(0, *k), in_labels,
                 in_labels_len,           in_locations,             in_third,
                 out_labels,              out_labels_len,           out_locations,
                 out_third};
  *ierr = block_ports(std::string_view(block, block_len), arr);
}

void tksinf_(const char* stream, char* source, char* destination, int64_t* nsub, int64_t* nrows,
             int64_t* /*unused*/, size_t stream_len, size_t source_len, size_t destination_len) {
  using namespace flowsum;
  int64_t ns = 0, nr = 0;
  if (stream_info(std::string_view(stream, stream_len), TextField(source, source_len),
                  TextField(destination, destination_len), ns, nr)) {
    *nsub = ns;
    *nrows = nr;
  }
}

}  // extern "C"
