#include "mainwindow/failurereasons.h"

#include "document/outline.h"
#include "file/atomicwrite.h"
#include "file/outlinereader.h"

#include <cerrno>

namespace {

QString systemReason(int error)
{
    switch (error) {
    case ENOENT: return QStringLiteral("ファイルまたはフォルダーが見つかりません");
    case EACCES:
    case EPERM: return QStringLiteral("アクセスが許可されていません");
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限に達しました");
    case EFBIG: return QStringLiteral("ファイルが大きすぎます");
    case EISDIR: return QStringLiteral("ファイルではなくフォルダーです");
    case ENOTDIR: return QStringLiteral("パスの途中にフォルダーでないものがあります");
    case EROFS: return QStringLiteral("読み取り専用の場所です");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます");
    case ELOOP: return QStringLiteral("シンボリックリンクが多すぎるか、循環しています");
    case EIO: return QStringLiteral("入出力エラーが起きました");
    case EMFILE:
    case ENFILE: return QStringLiteral("開いているファイルが多すぎます");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("ファイルが使用中です");
    case ENOMEM: return QStringLiteral("メモリーが足りません");
    case ENXIO:
    case ENODEV: return QStringLiteral("装置が見つかりません");
    default: return QStringLiteral("システムのエラーです（エラー番号 %1）").arg(error);
    }
}

QString readReason(const LoadError &error)
{
    using Code = LoadError::Code;
    switch (error.code) {
    case Code::CannotOpen:
        return error.systemError != 0 ? systemReason(error.systemError)
                                      : QStringLiteral("ファイルを開けませんでした");
    case Code::NotRegularFile:
        return QStringLiteral("通常のファイルではありません（フォルダー、パイプ、装置など）");
    case Code::ChangedWhileReading:
        return QStringLiteral("読み込んでいる間にファイルが変更されました");
    case Code::BadCheckedValue:
        return QStringLiteral("チェックの値「%1」が True、False、数値のどれでもありません")
                .arg(error.value);
    case Code::DuplicateKey: return QStringLiteral("キー「%1」が重複しています").arg(error.value);
    case Code::DuplicateKeyNumber:
        return QStringLiteral("キー「%1」の番号が他のキーと同じです").arg(error.value);
    case Code::BadKey:
        return QStringLiteral("キー「%1」が、1 文字と 10 進数の数字の形ではありません")
                .arg(error.value);
    case Code::MissingParent:
        return QStringLiteral("カテゴリ「%1」に親のキーがありません").arg(error.value);
    case Code::UnknownParent:
        return QStringLiteral("親のキー「%1」のカテゴリがありません").arg(error.value);
    case Code::KeyNumberOutOfRange:
        return QStringLiteral("キー「%1」の番号が %2 を超えています")
                .arg(error.value)
                .arg(Outline::MaxKeyNumber);
    case Code::NoRecord: return QStringLiteral("カテゴリが 1 つもありません");
    }
    return {};
}

} // namespace

QString readFailureDetail(const LoadError &error)
{
    const QString reason = readReason(error);
    return error.line > 0 ? QStringLiteral("%1 行目: %2").arg(error.line).arg(reason) : reason;
}

QString saveFailureReason(const WriteError &error)
{
    // The save reports a target that is no regular file as EINVAL, the one
    // step of it where that errno can come from.
    if (error.code == EINVAL)
        return QStringLiteral("通常のファイルではありません（パイプ、装置など）");
    return systemReason(error.code);
}
