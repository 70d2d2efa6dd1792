#include "spellbook/spell_source.h"

#include "formats/text_table.h"

namespace {

// The value of a spell table's row that names its spell: after the label, one level for each of
// the seven classes.
constexpr std::size_t kSpellNameValue = 8;

}  // namespace

const std::vector<ResRef>* SpellSource::spellRows() {
  if (!rowsRead_) {
    rowsRead_ = true;
    if (const std::optional<View> table = textTable(kSpellTableName)) {
      rows_ = tableNames(*table, kSpellNameValue);
    }
  }
  return rows_ ? &*rows_ : nullptr;
}
