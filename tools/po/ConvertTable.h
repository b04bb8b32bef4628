#pragma once
#include <string>

#include "Catalog.h"

// The one-time move from the tables the translations were written in (assets/Data/Lang/
// <code>.Txt) to PO files: the template's entries with each table's texts as translations.
// It stays until every table written before the move has been converted.
namespace catalog {

// The PO file of `code` ("de", "pt_BR") holding the translation `table`: the entries of the
// template (po/zorbit-volley.pot) with the table's texts; a key the table lacks stays
// untranslated.
po::File ConvertTable(const po::File& templateFile, const lang_table::Table& table,
                      const std::string& code);

} // namespace catalog
