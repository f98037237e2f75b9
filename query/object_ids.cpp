// Object identifiers and counts over the loader's identifier tables.
#include "query/object_ids.hpp"

#include "flowsum.h"
#include "loading/globals.hpp"

namespace flowsum {

int64_t list_objects(ItemKind kind, int64_t n, char* ids, size_t ids_len, char* types,
                     size_t types_len) {
  // The shared listing widens blocks and equipment and leaves the entries
  // past the table's count blank.
  return list_identifiers(item_kind_name(kind), n, ids, ids_len, types, types_len);
}

int64_t object_at(ItemKind kind, int64_t& k, TextField id, TextField type) {
  const int64_t ierr = next_identifier(item_kind_name(kind), k, id, type);
  // The position routines of blocks, equipment and property tables return
  // the full type keyword; streams keep their stored type.
  if (kind != ItemKind::kStream && k <= item_count(kind))
    type.assign(widened_type(kind, item_type(kind, k).view()));
  return ierr;
}

}  // namespace flowsum

extern "C" {

void tkbids_(int64_t* n, char* ids, char* types, int64_t* ierr, size_t ids_len,
             size_t types_len) {
  *ierr = flowsum::list_objects(flowsum::ItemKind::kBlock, *n, ids, ids_len, types, types_len);
}

void tksids_(int64_t* n, char* ids, char* types, int64_t* ierr, size_t ids_len,
             size_t types_len) {
  *ierr = flowsum::list_objects(flowsum::ItemKind::kStream, *n, ids, ids_len, types, types_len);
}

void tkeids_(int64_t* n, char* ids, char* types, int64_t* ierr, size_t ids_len,
             size_t types_len) {
  *ierr = flowsum::list_objects(flowsum::ItemKind::kEquipment, *n, ids, ids_len, types,
                                types_len);
}

void tkpids_(int64_t* n, char* ids, int64_t* ierr, size_t ids_len) {
  using namespace flowsum;
  // Asking for more than there are writes nothing at all.
  if (*n > relief_count()) {
    *ierr = 1;
    return;
  }
  for (int64_t k = 1; k <= *n; ++k)
    relief_identifier(k, text_element(ids, ids_len, static_cast<size_t>(k - 1)));
  *ierr = 0;
}

void tknblk_(int64_t* k, char* id, char* type, int64_t* ierr, size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = object_at(ItemKind::kBlock, *k, TextField(id, id_len), TextField(type, type_len));
}

void tknstr_(int64_t* k, char* id, char* type, int64_t* ierr, size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = object_at(ItemKind::kStream, *k, TextField(id, id_len), TextField(type, type_len));
}

void tknppt_(int64_t* k, char* id, char* type, int64_t* ierr, size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = object_at(ItemKind::kPropTable, *k, TextField(id, id_len), TextField(type, type_len));
}

void tkneqp_(int64_t* k, char* id, char* type, int64_t* ierr, size_t id_len, size_t type_len) {
  using namespace flowsum;
  *ierr = object_at(ItemKind::kEquipment, *k, TextField(id, id_len), TextField(type, type_len));
}

void tknxpr_(int64_t* k, char* id, int64_t* ierr, size_t id_len) {
  using namespace flowsum;
  *ierr = relief_identifier(*k, TextField(id, id_len)) ? 0 : 1;
}

void tkneq_(int64_t* n) { *n = flowsum::item_count(flowsum::ItemKind::kEquipment); }

void tknprs_(int64_t* n) { *n = flowsum::relief_count(); }

}  // extern "C"
