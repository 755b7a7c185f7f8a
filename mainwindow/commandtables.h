#pragma once

#include "mainwindow/form1.h"

#include <QStringView>

// The window's menus and toolbar as data: names, captions, keys, tooltips and
// pictures, in display order. A caption of "-" is a separator.
struct MenuEntry
{
    QStringView name;
    QStringView caption;
    // The window's handler for the command, named in code so that the
    // compiler checks it; none for separators, menu titles and the commands
    // that are present but do nothing (copy, cut, paste, print, exit...).
    void (Form1::*handler)() = nullptr;
};

struct MenuDefinition
{
    MenuEntry title;
    const MenuEntry *items;
    int itemCount;
};

inline constexpr MenuEntry FileMenuItems[] = {
        {u"mOpen", u"開く", &Form1::mOpen_Click},
        {u"dmy14", u"-"},
        {u"mSave", u"上書き保存", &Form1::mSave_Click},
        {u"mCreate", u"名前を付けて保存", &Form1::mCreate_Click},
        {u"dmy", u"-"},
        {u"mEnd", u"終了"},
};
inline constexpr MenuEntry ToolsMenuItems[] = {
        {u"mCopy", u"コピー"},
        {u"mCut", u"カット"},
        {u"mPaste", u"貼り付け"},
        {u"dmy11", u"-"},
        {u"mCheck", u"チェック反転", &Form1::mCheck_Click},
        {u"dmy12", u"-"},
        {u"mDelete", u"削除", &Form1::mDelete_Click},
        {u"dmy13", u"-"},
        {u"mPrint", u"印刷"},
        {u"mPreview", u"印刷プレビュー"},
};
inline constexpr MenuEntry HelpMenuItems[] = {
        {u"mAbout", u"バージョン情報", &Form1::mAbout_Click},
};
// Shown only as the tree's popup, never in the menu bar. Its check and delete
// do what the Tools menu's do.
inline constexpr MenuEntry TreeRightClickItems[] = {
        {u"CreateThisLevel", u"同レベルのカテゴリを手前に追加", &Form1::CreateThisLevel_Click},
        {u"CreateNextLevel", u"この下にカテゴリを作成", &Form1::CreateNextLevel_Click},
        {u"dmy5", u"-"},
        {u"CheckReverse", u"チェック反転", &Form1::mCheck_Click},
        {u"dmy1", u"-"},
        {u"CopyCategoly", u"このカテゴリから下を全てコピー"},
        {u"PasteCategoly", u"コピーカテゴリを挿入"},
        {u"CutCategoly", u"このカテゴリから下を全て切り取り"},
        {u"dmy2", u"-"},
        {u"DeleteCategoly", u"このカテゴリから下を全て削除", &Form1::mDelete_Click},
};

inline constexpr MenuDefinition MenuBar[] = {
        {{u"FileMenu", u"ファイル"}, FileMenuItems, int(std::size(FileMenuItems))},
        {{u"mTools", u"ツール"}, ToolsMenuItems, int(std::size(ToolsMenuItems))},
        {{u"mHelp", u"ヘルプ"}, HelpMenuItems, int(std::size(HelpMenuItems))},
};
inline constexpr MenuDefinition TreeRightClick = {{u"TreeRightClick", u"右クリックメニュー"},
                                                  TreeRightClickItems,
                                                  int(std::size(TreeRightClickItems))};

// An empty key is a separator.
struct ToolbarButton
{
    QStringView key;
    QStringView tooltip;
    int picture;
};

inline constexpr ToolbarButton ToolbarButtons[] = {
        {u"tNew", u"新規", 1},
        {u"tOpen", u"開く", 2},
        {u"tSave", u"上書き保存", 3},
        {{}, {}, 0},
        {u"tCopy", u"コピー", 4},
        {u"tCut", u"切り取り", 5},
        {u"tPaste", u"貼り付け", 6},
        {{}, {}, 0},
        {{}, {}, 0},
        {u"tCheck", u"チェック反転", 9},
        {{}, {}, 0},
        {{}, {}, 0},
        {{}, {}, 0},
        {u"tDelete", u"削除", 10},
        {{}, {}, 0},
        {{}, {}, 0},
        {u"tPrint", u"印刷", 7},
        {u"tPreview", u"印刷プレビュー", 8},
        {{}, {}, 0},
        {u"tUp", u"上へ", 11},
        {u"tDown", u"下へ", 12},
};
