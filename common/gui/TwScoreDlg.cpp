#include "gui/TwScoreDlg.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "data/TwEngineDefs.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwButton.h"
#include "gui/TwInputEvent.h"
#include "records/TwHighScoreTables.h"
#include "records/TwTop.h"

namespace {

constexpr int kOpaque = 255;
// A row starts to appear once the row above it is about an eighth visible.
constexpr int kNextRowStartsAbove = 32;
// Pixels kept free between the end of a name and the start of its score.
constexpr int kNameGap = 8;
constexpr int kScoreColumnDigits = 6;
// Pixels between the end of a score and the signs after it.
constexpr int kSignGap = 6;

// How far a text's glyphs reach from where it starts: its width without the spacing after
// the last glyph.
int InkWidth(const TwBitmapFont& font, std::string_view text) {
    return text.empty() ? 0 : font.TextWidth(text) - font.CharDist();
}

// The widest number of six digits in this font: the room the score column needs.
int ScoreColumnWidth(const TwBitmapFont& font) {
    int widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widest = std::max(widest, font.TextWidth(std::string(kScoreColumnDigits, digit)));
    }
    return widest;
}

// The name as it fits in `room` pixels: whole when it fits; otherwise cut after the last
// whole character that leaves room for an ellipsis (when the font has a dot; plainly cut when
// it has none). Characters are measured one at a time, UTF-8 sequences kept whole, so even a
// very long name costs one pass.
std::string FitName(const TwBitmapFont& font, const std::string& name, int room) {
    if (InkWidth(font, name) <= room) {
        return name;
    }
    const std::string ellipsis = font.HasGlyph('.') ? "..." : "";
    const int limit = room - font.TextWidth(ellipsis) + font.CharDist();
    int used = 0;
    std::size_t kept = 0;
    while (kept < name.size()) {
        std::size_t next = kept + 1;
        while (next < name.size() && (static_cast<unsigned char>(name[next]) & 0xC0) == 0x80) {
            ++next;
        }
        const int width = font.TextWidth(std::string_view(name).substr(kept, next - kept));
        if (used + width > limit) {
            break;
        }
        used += width;
        kept = next;
    }
    return name.substr(0, kept) + ellipsis;
}

// A focus stop on an entry of the table: it draws nothing (the dialog draws the entry, lit
// while the stop has the focus) and the mouse never hits it (the dialog finds the entry under
// the pointer itself).
class RowStop : public TwBaseGuiElemen {
public:
    RowStop() {
        kind_ = kPushButton;
        clip_ = std::make_unique<TwClip>();
    }
    void Draw() override {}
};

} // namespace

TwScoreDlg::TwScoreDlg() : watchRequest_(std::make_unique<TwBaseGuiElemen>()) {
    watchRequest_->SetName(kWatchEvent);
}
TwScoreDlg::~TwScoreDlg() = default;

// The definitions file places each button by the key named after the button before it in
// this list; the file's values are laid out for exactly that pairing.
void TwScoreDlg::OnCreate() {
    TwDefFile& defs = TwEngineDefs();
    upOffset_ = defs.GetInt("ScoreDlg.UpUffset", 0);
    lineOffset_ = defs.GetInt("ScoreDlg.LineOffset", 0);
    leftNumOffset_ = defs.GetInt("ScoreDlg.LeftNumOffset", 0);
    scoreOffset_ = defs.GetInt("ScoreDlg.ScoreOffset", 0);
    nameOffset_ = defs.GetInt("ScoreDlg.NameOffset", 0);
    titlePos_ = defs.GetVector3("ScoreDlg.TittlePos", ',');

    const TwVector nextPos = defs.GetVector3("ScoreDlg.PrevPos", ',');
    const TwVector prevPos = defs.GetVector3("ScoreDlg.NextPos", ',');
    const TwVector clearPos = defs.GetVector3("ScoreDlg.OkPos", ',');
    const TwVector backPos = defs.GetVector3("ScoreDlg.ClearPos", ',');
    nextButton_ = AddButton("Interface/RArrow", nextPos.x, nextPos.y, "ScoreDlg.Next", kPlainRole);
    prevButton_ = AddButton("Interface/LArrow", prevPos.x, prevPos.y, "ScoreDlg.Prev", kPlainRole);
    AddButton("Interface/Clear", clearPos.x, clearPos.y, "ScoreDlg.Clear", kPlainRole);
    AddButton("Interface/BtnOk", backPos.x, backPos.y, "ScoreDlg.Back", kCancelRole);
}

int TwScoreDlg::RowAt(float y) const {
    const TwTop* table = ShownTable();
    if (table == nullptr || lineOffset_ <= 0) {
        return -1;
    }
    // A row's text hangs from its line; the row reaches half a line either side.
    const float first = static_cast<float>(upOffset_) - static_cast<float>(lineOffset_) / 2.0f;
    const int row = static_cast<int>(std::floor((y - first) / static_cast<float>(lineOffset_)));
    return row >= 0 && row < table->Count() ? row : -1;
}

void TwScoreDlg::UpdateRowStops() {
    TwTop* table = ShownTable();
    const int count = table != nullptr ? table->Count() : 0;
    while (static_cast<int>(rowStops_.size()) < count) {
        const std::string name = "ScoreDlg.Entry" + std::to_string(rowStops_.size() + 1);
        rowStops_.push_back(AddElement(name, std::make_unique<RowStop>()));
    }
    const float x = static_cast<float>(nameOffset_ + scoreOffset_) / 2.0f;
    for (std::size_t i = 0; i < rowStops_.size(); ++i) {
        TwBaseGuiElemen& stop = *rowStops_[i];
        const int row = static_cast<int>(i);
        stop.SetPosition(TwVector(x, static_cast<float>(upOffset_ + row * lineOffset_), 0.0f));
        const bool watchable = row < count && !table->At(row).Replay.empty();
        if (watchable && stop.IsDisabled()) {
            stop.Enable();
        } else if (!watchable && !stop.IsDisabled()) {
            stop.ClearHover();
            stop.Disable();
        }
    }
}

int TwScoreDlg::RowOfStop(const TwBaseGuiElemen& element) const {
    const auto found = std::find(rowStops_.begin(), rowStops_.end(), &element);
    return found != rowStops_.end() ? static_cast<int>(found - rowStops_.begin()) : -1;
}

int TwScoreDlg::FocusedRow() const {
    const TwBaseGuiElemen* focused = HasKeyboardFocus() ? ElementAt(Focus()) : nullptr;
    return focused != nullptr && !focused->IsDisabled() ? RowOfStop(*focused) : -1;
}

void TwScoreDlg::PressElement(TwBaseGuiElemen& element, int box) {
    const int row = RowOfStop(element);
    if (row < 0) {
        TwPanel::PressElement(element, box);
        return;
    }
    if (element.IsDisabled()) {
        return;
    }
    TwGuiPlaySound(TwGuiSounds::kButtonClick);
    watchedRow_ = row;
    RaiseEvent(watchRequest_.get());
}

bool TwScoreDlg::HandleInput(const TwInputEvent& event) {
    if (event.eventClass == TwInputEvent::kKeyboard) {
        hoverRow_ = -1; // the keyboard's focus is the one light
    }
    if (TwPanel::HandleInput(event)) {
        return true;
    }
    if (!IsSteady() || event.eventClass != TwInputEvent::kMouse) {
        return false;
    }
    TwTop* table = ShownTable();
    const int row = RowAt(event.eventY);
    const bool watchable = table != nullptr && row >= 0 && !table->At(row).Replay.empty();
    hoverRow_ = watchable ? row : -1;
    if (watchable && event.messageId == TwInputCodes::kLeftButtonUp) {
        watchedRow_ = row;
        RaiseEvent(watchRequest_.get());
        return true;
    }
    return false;
}

TwTop* TwScoreDlg::ShownTable() const {
    return TwHighScoreTable(currentTable_);
}

void TwScoreDlg::HideRows() {
    if (TwTop* table = ShownTable()) {
        for (int i = 0; i < table->Count(); ++i) {
            table->At(i).DisplayAlpha = 0;
        }
    }
}

void TwScoreDlg::UpdateArrows() {
    const bool atFirst = currentTable_ <= 0;
    if (nextButton_ != nullptr) {
        atFirst ? nextButton_->Enable() : nextButton_->Disable();
    }
    if (prevButton_ != nullptr) {
        atFirst ? prevButton_->Disable() : prevButton_->Enable();
    }
}

void TwScoreDlg::Open() {
    currentTable_ = startTable_;
    hoverRow_ = -1;
    HideRows();
    TwPanel::Open();
    UpdateArrows();
    UpdateRowStops();
    revealing_ = true;
}

void TwScoreDlg::NextTable() {
    if (currentTable_ + 1 < kTableCount) {
        ++currentTable_;
        revealing_ = true;
        HideRows();
    }
    currentTable_ = kTableCount - 1;
    UpdateArrows();
}

void TwScoreDlg::PrevTable() {
    if (currentTable_ - 1 >= 0) {
        --currentTable_;
        revealing_ = true;
        HideRows();
    } else {
        currentTable_ = 0;
    }
    if (currentTable_ == 0) {
        UpdateArrows();
    }
}

void TwScoreDlg::RevealRows(int elapsedMs) {
    TwTop* table = ShownTable();
    if (table == nullptr || table->Count() == 0) {
        return; // an empty table keeps revealing: there is no last row to finish it
    }
    auto brighten = [elapsedMs](TwTopRecord& row) {
        row.DisplayAlpha = std::min(kOpaque, row.DisplayAlpha + elapsedMs);
    };
    brighten(table->At(0));
    for (int i = 1; i < table->Count(); ++i) {
        if (table->At(i - 1).DisplayAlpha > kNextRowStartsAbove) {
            brighten(table->At(i));
        }
    }
    if (table->At(table->Count() - 1).DisplayAlpha == kOpaque) {
        revealing_ = false;
    }
}

void TwScoreDlg::Update(int elapsedMs) {
    TwPanel::Update(elapsedMs);
    UpdateRowStops(); // the table may change under the dialog (switched, cleared)
    if (revealing_) {
        RevealRows(elapsedMs);
        return;
    }
    // Once shown, the rows fade out together with the dialog.
    if (TwTop* table = ShownTable()) {
        const int alpha = std::max(0, static_cast<int>(Alpha()));
        for (int i = 0; i < table->Count(); ++i) {
            table->At(i).DisplayAlpha = alpha;
        }
    }
}

void TwScoreDlg::Draw() {
    TwPanel::Draw();
    TwTop* table = ShownTable();
    if (currentTable_ == -1 || table == nullptr) {
        return;
    }
    if (TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont)) {
        // A name ends before the widest six-digit score (or this row's longer one) begins.
        const int scoreColumn = ScoreColumnWidth(*font);
        for (int i = 0; i < table->Count(); ++i) {
            const TwTopRecord& row = table->At(i);
            const float y = static_cast<float>(upOffset_ + i * lineOffset_);
            const std::string score = std::to_string(row.Scores);
            const int room = scoreOffset_ - std::max(scoreColumn, font->TextWidth(score)) -
                             kNameGap - nameOffset_;
            // An entry that can be watched lights up under the pointer or the keyboard focus.
            const bool lit = i == hoverRow_ || i == FocusedRow();
            font->SetTint(255.0f, lit ? 214.0f : 255.0f, lit ? 96.0f : 255.0f,
                          static_cast<float>(row.DisplayAlpha));
            font->DrawText(static_cast<float>(leftNumOffset_), y, std::to_string(i + 1),
                           TwBitmapFont::AlignRight);
            font->DrawText(static_cast<float>(nameOffset_), y, FitName(*font, row.PlayerName, room),
                           TwBitmapFont::AlignLeft);
            font->DrawText(static_cast<float>(scoreOffset_), y, score, TwBitmapFont::AlignRight);
            // After the score: a star for a game played with the aim guide, an arrow for
            // one that can be watched again.
            const std::string signs =
                std::string(row.Guided ? "*" : " ") + (row.Replay.empty() ? "" : ">");
            font->DrawText(static_cast<float>(scoreOffset_ + kSignGap), y, signs,
                           TwBitmapFont::AlignLeft);
        }
    }
    if (TwClip* title = table->Title()) {
        title->SetTint(255.0f, 255.0f, 255.0f, Alpha());
        title->SetPosition(titlePos_.x, titlePos_.y, 0.0f);
        title->Draw();
    }
}
