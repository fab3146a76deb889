// A list of groups that open and close, each with its records as rows beneath
// it, in columns under a header. The rows live here; the inner list view
// (owner data, owner drawn) only shows them, so tens of thousands of rows are
// added and shown without delay. Group rows span the row; record cells hold a
// shown text and a second, hidden one, and may be links.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "Handles.h"
#include "Window.h"

namespace uikit {

class GroupedList : public Window {
public:
    static constexpr int kColumns = 4;
    static constexpr int kNoRow = -1;
    static constexpr int kNoKey = -1;

    GroupedList() = default;
    ~GroupedList() override;

    // A visible child of `parent` with an empty rectangle; the inner list is
    // made at WM_CREATE.
    HWND Create(HWND parent, int id) noexcept;
    HWND ListHwnd() const noexcept { return list_; }

    // Columns and look.
    void AddColumn(const char* title, int width, int subItem);
    void SetColumnWidth(int column, int width);
    void SetColumnTitle(int column, const char* title);
    void SetHeaderFont(HFONT font);  // not owned
    void SetRowHeight(int pixels);
    int RowHeight() const { return rowHeight_; }
    // Images for the group marks: image 0 closed, 1 open (not owned).
    void SetImageList(HIMAGELIST images);
    void SetResourceModule(HMODULE module) { resources_ = module; }
    HMODULE ResourceModule() const { return resources_; }

    // Rows. Group and record keys are unique among groups and among records.
    bool AddGroup(int key, const char* text, COLORREF back, HFONT font, bool open);
    bool AddRecord(int groupKey, int recordKey);
    bool SetCellText(int recordKey, int column, const char* text);
    bool SetCellSecondText(int recordKey, int column, const char* text);
    bool SetLinkCell(int recordKey, int column, bool link);
    std::string CellText(int recordKey, int column) const;
    std::string CellSecondText(int recordKey, int column) const;
    bool HasGroup(int key) const { return groupIndex_.count(key) != 0; }
    bool HasRecord(int key) const { return records_.count(key) != 0; }
    int GroupOfRecord(int recordKey) const;
    std::string GroupText(int key) const;

    bool IsGroupRow(int row) const;
    int GroupKeyOfRow(int row) const;   // the row's group (its own, or its record's)
    int RecordKeyOfRow(int row) const;  // kNoKey for a group row
    int RowOfRecord(int recordKey) const;  // kNoRow when unknown or in a closed group
    int RowOfGroup(int groupKey) const;
    int RowCount() const;
    int GroupCount() const { return int(groups_.size()); }
    int RecordCount() const { return int(records_.size()); }

    bool OpenGroup(int key, bool open);
    bool IsGroupOpen(int key) const;
    bool GroupHasRecords(int key) const;
    bool RenameGroup(int key, const char* text);
    bool RemoveGroup(int key);  // with its records
    bool RemoveRecord(int key);
    void RemoveAll();

    void SelectRow(int row);  // and scrolls it into view; kNoRow clears
    int SelectedRow() const;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // The inner list's notifications, after a derived class saw them.
    LRESULT HandleListNotify(NMHDR* header);

    // What clicks do; the defaults open or close groups and follow nothing.
    virtual void OnClickLinkCell(int row, int column, UINT flags);
    virtual void OnClickCell(int row, int column);
    virtual void OnHeaderClicked(int column);
    virtual void OnHeaderMouseMove();
    virtual void OnHeaderClickForSort(int column);
    virtual void ReSortYoxItems();

private:
    struct Record {
        int key;
        int group;
        std::string text[kColumns];
        std::string second[kColumns];
        bool link[kColumns] = {};
    };
    struct Group {
        int key;
        std::string text;
        COLORREF back;
        HFONT font;
        bool open;
        std::vector<int> records;
    };
    struct RowRef {
        int group;   // index into groups_
        int record;  // record key, or kNoKey for the group's own row
    };

    static void EraseText(std::string& text);
    static void EraseTexts(Record& record);
    void CreateInnerList();
    void Changed();              // the rows changed; the view follows
    void SyncView() const;       // brings the inner list's row count up to date
    const std::vector<RowRef>& Rows() const;
    const Record* FindRecord(int key) const;
    Record* FindRecord(int key);
    Group* FindGroup(int key);
    const Group* FindGroup(int key) const;
    void DrawRow(const DRAWITEMSTRUCT& item);
    void HandleClick(const NMITEMACTIVATE& click);
    void ApplyRowHeight();
    HFONT LinkFont();

    HWND list_ = nullptr;
    HMODULE resources_ = nullptr;
    HIMAGELIST images_ = nullptr;
    UniqueHandle<HIMAGELIST, PtrTraits<HIMAGELIST, ImageList_Destroy>> heightImages_;
    UniqueFont linkFont_;
    int rowHeight_ = 30;
    int columnCount_ = 0;
    std::vector<Group> groups_;
    std::unordered_map<int, size_t> groupIndex_;
    std::unordered_map<int, Record> records_;
    mutable std::vector<RowRef> rows_;
    mutable bool rowsStale_ = false;
    mutable bool viewStale_ = false;
    // The selection follows its row when rows above it come or go.
    mutable int selectedGroupKey_ = kNoKey;
    mutable int selectedRecordKey_ = kNoKey;
};

}  // namespace uikit
