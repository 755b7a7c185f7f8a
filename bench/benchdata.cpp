#include "bench/benchdata.h"

#include "file/cp932.h"
#include "file/outlinewriter.h"

#include <random>

namespace benchdata {

namespace {

// Two-byte characters of code page 932: kana, common kanji, and some that
// only this code page has (circled digits, NEC and IBM extensions).
constexpr char16_t WideCharacters[] =
        u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわ"
        u"をん"
        u"がぎぐげござじずぜぞだでどばびぶべぼぱぴぷぺぽっゃゅょ"
        u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワ"
        u"ヲン"
        u"日本語文書項目名前編集保存開始終了時間場所会社社員部長課題作業計画予定確認報告資料会議連"
        u"絡"
        u"住所電話番号価格数量合計税込送料在庫管理新規削除追加変更設定表示印刷検索置換選択記録整理"
        u"、。「」・ー～－①②③④⑤㈱㈲ⅠⅡⅢ髙﨑";
constexpr char16_t NarrowCharacters[] =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,-:;()";

// Lines of text in runs of one kind of character, as real notes are written.
class TextMaker
{
public:
    explicit TextMaker(std::uint32_t seed) : m_rng(seed) { }

    QString body(qsizetype cp932Bytes)
    {
        QString text;
        text.reserve(cp932Bytes);
        qsizetype bytes = 0;
        while (bytes < cp932Bytes) {
            const qsizetype lineBytes = std::min<qsizetype>(cp932Bytes - bytes, pick(20, 120));
            bytes += line(text, lineBytes);
            if (bytes + 2 <= cp932Bytes) {
                text += u"\r\n";
                bytes += 2;
            } else {
                break;
            }
        }
        return text;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }

private:
    // Appends about `lineBytes` bytes; returns the bytes appended.
    qsizetype line(QString &text, qsizetype lineBytes)
    {
        qsizetype bytes = 0;
        while (bytes < lineBytes) {
            const bool wide = pick(0, 3) != 0 && lineBytes - bytes >= 2;
            const int run = pick(1, 12);
            for (int i = 0; i < run && bytes < lineBytes; ++i) {
                if (wide && lineBytes - bytes >= 2) {
                    text += QChar(WideCharacters[pick(0, int(std::size(WideCharacters)) - 2)]);
                    bytes += 2;
                } else {
                    text += QChar(NarrowCharacters[pick(0, int(std::size(NarrowCharacters)) - 2)]);
                    bytes += 1;
                }
            }
        }
        return bytes;
    }

    std::mt19937 m_rng;
};

// The byte counts above assume every character is one code page 932 code.
void checkCharacters()
{
    static const bool checked = [] {
        if (!cp932::unencodable(QStringView(WideCharacters)).isEmpty()
            || !cp932::unencodable(QStringView(NarrowCharacters)).isEmpty())
            qFatal("bench: the text pool holds characters code page 932 cannot hold");
        return true;
    }();
    Q_UNUSED(checked);
}

} // namespace

QString makeBody(qsizetype cp932Bytes, std::uint32_t seed)
{
    checkCharacters();
    return TextMaker(seed).body(cp932Bytes);
}

Outline makeOutline(const OutlineRecipe &recipe)
{
    Q_ASSERT(recipe.categories >= 1 && recipe.categories <= Outline::TextSlots);
    checkCharacters();
    TextMaker maker(recipe.seed);
    Outline outline;
    const qsizetype perBody = recipe.bodyBytes / recipe.categories;
    for (int i = 0; i < recipe.categories; ++i) {
        const QString key = Outline::keyText(i);
        const QString title = QStringLiteral("項目 %1 ①").arg(i);
        Category *category = nullptr;
        if (i == 0) {
            category = outline.addTopLevel(key, title);
        } else {
            Category *parent = outline.root();
            if (recipe.shape == Shape::Chain)
                parent = outline.item(i); // collection order: the category added last
            else if (recipe.shape == Shape::Random)
                parent = outline.item(maker.pick(1, i));
            category = outline.addChild(parent, key, title);
        }
        outline.setChecked(category, maker.pick(0, 3) == 0);
        outline.TextData[size_t(i)] = maker.body(perBody);
    }
    outline.KeyCounter = recipe.categories;
    return outline;
}

QByteArray makeOutlineBytes(const OutlineRecipe &recipe)
{
    return writeOutline(makeOutline(recipe));
}

} // namespace benchdata
