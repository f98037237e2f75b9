// The C++ API on fuzzed summary files: every call either answers or throws
// one of the API's errors, every table it returns has columns of one length,
// and the arrays it sizes for the exported routines hold what they write
// (AddressSanitizer). A file that loads is closed again before the next
// input, so the one-file-per-process rule holds across inputs.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "flowsum/summary.hpp"
#include "fuzz/fuzz_support.hpp"

namespace fz = flowsum::fuzz;

namespace {

constexpr size_t kMaxObjects = 16;  // objects of a kind asked about per input

void check(const flowsum::Table& t) {
  const size_t rows = t.rows();
  for (const flowsum::Column& c : t.columns)
    if (c.size() != rows) fz::fail("a table's columns differ in length");
}

template <class Fn>
void call(Fn fn) {
  try {
    fn();
  } catch (const flowsum::NotFoundError&) {
    // An id the file names in one table and lacks in another.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fz::InputFile input(".sum");
  input.write(data, size);
  static const char* kUnits[] = {"SI", "ENG", "MET", "OUT"};
  static const char* kBases[] = {"MASS-FLOW", "MOLE-FLOW", "STDVOL-FLOW",
                                 "MASS-FRAC", "MOLE-FRAC", "STDVOL-FRAC"};
  const int k = static_cast<int>(size % 4);
  std::vector<flowsum::Stream> streams;
  try {
    flowsum::Summary s = flowsum::Summary::open(input.path(), {kUnits[k], FLOWSUM_SOURCE_DATA_DIR});
    s.run_info();
    s.components();
    streams = s.streams();
    if (streams.size() > 10000) fz::fail("more streams than a table holds");
    for (size_t i = 0; i < streams.size() && i < kMaxObjects; ++i) {
      const std::string& id = streams[i].id;
      call([&] { s.substreams(id); });
      call([&] { check(s.phases(id).compositions); });
    }
    call([&] { check(s.stream_table({}, kBases[size % 6])); });
    const std::vector<flowsum::Block> blocks = s.blocks();
    for (size_t i = 0; i < blocks.size() && i < kMaxObjects; ++i) {
      call([&] { s.connections(blocks[i].id); });
      call([&] { check(s.block_results(blocks[i].id)); });
      call([&] { check(s.sensitivity(blocks[i].id)); });  // mostly unknown: NotFoundError
      for (auto view : {&flowsum::Summary::column_profiles, &flowsum::Summary::heating_curves,
                        &flowsum::Summary::exchanger, &flowsum::Summary::compressor,
                        &flowsum::Summary::reactor_profiles, &flowsum::Summary::pipeline,
                        &flowsum::Summary::relief})
        call([&] {
          for (const flowsum::NamedTable& t : (s.*view)(blocks[i].id)) check(t.table);
        });
    }
    const std::vector<std::string> tables = s.property_tables();
    for (size_t i = 0; i < tables.size() && i < kMaxObjects; ++i)
      call([&] { check(s.property_table(tables[i])); });
    s.close();
    // Closed: every call is a UsageError.
    try {
      s.blocks();
      fz::fail("a closed Summary answered");
    } catch (const flowsum::UsageError&) {
    }
  } catch (const flowsum::LoadError&) {
    // A file that does not load.
  }
  return 0;
}
