// TEMPORARY: replaced by the generated tables.
#include "encode/tables/character_tables.h"
namespace corvina::tables {
int strokes(char32_t) { return -1; }
int zhuyin(char32_t) { return -1; }
}  // namespace corvina::tables
