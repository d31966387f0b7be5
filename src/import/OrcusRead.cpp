#include "import/OrcusRead.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <QHash>
#include <cctype>
#include <memory>
#include <string>

namespace orvane::importer {

namespace ss = orcus::spreadsheet;

namespace {

// The most an .xlsx cell holds; liborcus cuts longer strings there.
constexpr size_t kCellLimit = 32767;

class Strings : public ss::iface::import_shared_strings {
  public:
    size_t append(std::string_view s) override {
        note(s.size());
        items.push_back(QString::fromUtf8(s.data(), int(s.size())));
        return items.size() - 1;
    }
    size_t add(std::string_view s) override {
        note(s.size());
        const QString text = QString::fromUtf8(s.data(), int(s.size()));
        auto found = index_.constFind(text);
        if (found != index_.constEnd()) {
            cut.pop_back();
            return *found;
        }
        items.push_back(text);
        index_.insert(text, items.size() - 1);
        return items.size() - 1;
    }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { segments_.append(s.data(), int(s.size())); }
    size_t commit_segments() override {
        note(size_t(segments_.size()));
        items.push_back(QString::fromUtf8(segments_));
        segments_.clear();
        return items.size() - 1;
    }
    std::vector<QString> items;
    // Strings the reader cut at the 32,767 characters of an .xlsx cell.
    std::vector<bool> cut;

  private:
    void note(size_t bytes) { cut.push_back(bytes >= kCellLimit); }
    QHash<QString, size_t> index_;
    QByteArray segments_;
};

class Settings : public ss::iface::import_global_settings {
  public:
    explicit Settings(SheetCells& cells) : cells_(cells) {}
    void set_origin_date(int year, int month, int day) override {
        cells_.serialOrigin = QDate(year, month, day);
    }
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { grammar_ = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return grammar_; }
    void set_character_set(orcus::character_set_t) override {}

  private:
    SheetCells& cells_;
    ss::formula_grammar_t grammar_ = ss::formula_grammar_t::unknown;
};

// Cell references of the A1 form ("$B$12", "Sheet1!A1:C3"), which the .xlsx reader asks to
// have resolved; sheet names do not matter for a sheet's own cells.
class References : public ss::iface::import_reference_resolver {
  public:
    ss::src_address_t resolve_address(std::string_view text) override {
        const size_t bang = text.rfind('!');
        if (bang != std::string_view::npos)
            text.remove_prefix(bang + 1);
        ss::src_address_t address{0, 0, 0};
        size_t i = 0;
        long col = 0, row = 0;
        if (i < text.size() && text[i] == '$')
            ++i;
        while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])) && col < 100000)
            col = col * 26 + (std::toupper(static_cast<unsigned char>(text[i++])) - 'A' + 1);
        if (i < text.size() && text[i] == '$')
            ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
               row < 10000000)
            row = row * 10 + (text[i++] - '0');
        if (col == 0 || row == 0 || i != text.size())
            throw ImportFileError(QStringLiteral("The file is damaged: a cell reference cannot be "
                                                 "read. Nothing was imported."));
        address.row = ss::row_t(row - 1);
        address.column = ss::col_t(col - 1);
        return address;
    }
    ss::src_range_t resolve_range(std::string_view text) override {
        const size_t colon = text.find(':');
        const ss::src_address_t first = resolve_address(text.substr(0, colon));
        return {first,
                colon == std::string_view::npos ? first : resolve_address(text.substr(colon + 1))};
    }
};

// A sheet's cells; a sheet other than the one read takes nothing in.
class Sheet : public ss::iface::import_sheet {
  public:
    Sheet(CellSink* sink, const Strings& strings)
        : sink_(sink), strings_(strings), formula_(*this), properties_(*this) {}

    ss::iface::import_formula* get_formula() override { return &formula_; }
    ss::iface::import_sheet_properties* get_sheet_properties() override { return &properties_; }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override {
        put(row, col, QString::fromUtf8(s.data(), int(s.size())));
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override {
        if (id >= strings_.items.size())
            return;
        if (sink_ && id < strings_.cut.size() && strings_.cut[id])
            throw ImportFileError(
                QStringLiteral("The cell in row %1, column %2 holds more than the 32,767 "
                               "characters of an .xlsx cell, so it cannot be read whole. Nothing "
                               "was imported: shorten it, or save the sheet as .csv or .ods.")
                    .arg(row + 1)
                    .arg(col + 1));
        put(row, col, strings_.items[id]);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override {
        put(row, col, NumberText(value));
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override {
        put(row, col, value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int,
                       double) override {
        const QDate date(year, month, day);
        put(row, col, date.isValid() ? date.toString(Qt::ISODate) : QString());
    }
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t size) override {
        if (!sink_)
            return;
        const QString* source = sink_->at(row, col);
        const QString text = source ? *source : QString();
        for (ss::row_t r = row + 1; r <= row + size; ++r)
            put(r, col, text);
    }
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    void put(qint64 row, qint64 col, const QString& text) {
        if (sink_)
            sink_->put(row, col, text);
    }
    // Every cell of a merged range shows the value of its first cell.
    void spreadMerges() {
        if (!sink_)
            return;
        for (const ss::range_t& range : merges_) {
            const QString* first = sink_->at(range.first.row, range.first.column);
            if (!first || first->isEmpty())
                continue;
            const QString text = *first;
            for (qint64 r = range.first.row; r <= range.last.row; ++r)
                for (qint64 c = range.first.column; c <= range.last.column && c < 256; ++c)
                    sink_->put(r, c, text);
        }
    }

  private:
    class Formula : public ss::iface::import_formula {
      public:
        explicit Formula(Sheet& sheet) : sheet_(sheet) {}
        void set_position(ss::row_t row, ss::col_t col) override {
            row_ = row;
            col_ = col;
            result_.clear();
        }
        void set_formula(ss::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(size_t) override {}
        void set_result_string(std::string_view value) override {
            result_ = QString::fromUtf8(value.data(), int(value.size()));
        }
        void set_result_value(double value) override { result_ = NumberText(value); }
        void set_result_bool(bool value) override {
            result_ = value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        }
        void set_result_empty() override { result_.clear(); }
        void commit() override { sheet_.put(row_, col_, result_); }

      private:
        Sheet& sheet_;
        qint64 row_ = 0, col_ = 0;
        QString result_;
    };
    class Properties : public ss::iface::import_sheet_properties {
      public:
        explicit Properties(Sheet& sheet) : sheet_(sheet) {}
        void set_column_width(ss::col_t, double, orcus::length_unit_t) override {}
        void set_column_hidden(ss::col_t col, bool hidden) override {
            if (sheet_.sink_ && hidden)
                sheet_.sink_->hideColumn(col);
        }
        void set_row_height(ss::row_t, double, orcus::length_unit_t) override {}
        void set_row_hidden(ss::row_t, bool) override {}
        void set_merge_cell_range(const ss::range_t& range) override {
            if (sheet_.sink_ && range.first.row >= 0 && range.first.column >= 0 &&
                range.last.row >= range.first.row && range.last.column >= range.first.column) {
                sheet_.sink_->checkRow(range.last.row);
                sheet_.merges_.push_back(range);
            }
        }

      private:
        Sheet& sheet_;
    };

    CellSink* sink_;
    const Strings& strings_;
    Formula formula_;
    Properties properties_;
    std::vector<ss::range_t> merges_;
};

class Factory : public ss::iface::import_factory {
  public:
    Factory(SheetCells& cells, const ReadControl& control, int wanted)
        : sink_(cells, control), settings_(cells), wanted_(wanted) {}

    ss::iface::import_global_settings* get_global_settings() override { return &settings_; }
    ss::iface::import_shared_strings* get_shared_strings() override { return &strings_; }
    ss::iface::import_reference_resolver*
    get_reference_resolver(ss::formula_ref_context_t) override {
        return &references_;
    }
    ss::iface::import_sheet* append_sheet(ss::sheet_t index, std::string_view name) override {
        sheets_.push_back(std::make_unique<Sheet>(index == wanted_ ? &sink_ : nullptr, strings_));
        names_.push_back(std::string(name));
        return sheets_.back().get();
    }
    ss::iface::import_sheet* get_sheet(std::string_view name) override {
        for (size_t i = 0; i < names_.size(); ++i)
            if (names_[i] == name)
                return sheets_[i].get();
        return nullptr;
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t index) override {
        return index >= 0 && size_t(index) < sheets_.size() ? sheets_[size_t(index)].get()
                                                            : nullptr;
    }
    void finalize() override {
        for (auto& sheet : sheets_)
            sheet->spreadMerges();
    }

  private:
    CellSink sink_;
    Strings strings_;
    Settings settings_;
    References references_;
    int wanted_;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    std::vector<std::string> names_;
};

} // namespace

SheetCells ReadOrcusSheet(const QByteArray& bytes, FileKind kind, int sheetIndex,
                          const ReadControl& control) {
    SheetCells cells;
    Factory factory(cells, control, sheetIndex);
    const std::string_view stream(bytes.constData(), size_t(bytes.size()));
    try {
        if (kind == FileKind::Ods) {
            orcus::orcus_ods filter(&factory);
            filter.read_stream(stream);
        } else {
            orcus::orcus_xlsx filter(&factory);
            filter.read_stream(stream);
        }
    } catch (const ImportFileError&) {
        throw;
    } catch (const ImportCancelled&) {
        throw;
    } catch (const std::exception& error) {
        throw ImportFileError(QStringLiteral("The file is damaged: its sheet cannot be read (%1). "
                                             "Nothing was imported.")
                                  .arg(QString::fromUtf8(error.what())));
    }
    return cells;
}

} // namespace orvane::importer
