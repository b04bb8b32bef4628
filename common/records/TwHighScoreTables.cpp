#include "records/TwHighScoreTables.h"

std::map<int, std::unique_ptr<TwTop>>& TwHighScoreTables() {
    static std::map<int, std::unique_ptr<TwTop>> tables;
    return tables;
}

TwTop* TwHighScoreTable(int mode) {
    auto& tables = TwHighScoreTables();
    auto found = tables.find(mode);
    return found == tables.end() ? nullptr : found->second.get();
}
