// Japanese: the texts for the user (UTF-8, the line breaks and placeholders
// of the English ones) and the names Windows gives the language.
#include "config/language.h"

#include <windows.h>

static const char* const Aliases[] = {"jpn", nullptr};

static const UserPattern Texts[] = {
    {TextDiskSpace,
     "インストール先または一時ディレクトリのディスク容量が不足していませんか?\r\r"
     "    その他の考えられる原因については errors.log を参照してください。"},
    {TextOtherCauses,
     "その他の考えられるエラーの原因:\n"
     "    * 「temp」ディレクトリとインストール先ディレクトリへの読み取り/書き込み権限はありますか?\n"
     "    * Java アプリケーションを実行するために OS の更新が必要ではありませんか?\n"
     "    * 不明な実行ファイルや JAR ファイルの実行を許可しないウイルス対策ソフトウェアが"
     "インストールされていませんか?\n"
     "    * システムがディスプレイをエクスポートしていますか?"},
    {TextWizardNotStarted,
     "インストール ウィザードを開始できません。\r\rPATH に JRE を起動しない「java」コマンドが"
     "ありませんか?\r\rある場合は、それを削除してからもう一度インストーラーを実行してください。"},
    {TextUnableToInstall, "アプリケーションをインストールできません。"},
    {TextJvmNotFound, "正しいバージョンの %1 がシステムに見つかりませんでした。"},
    {TextInstallJvmAndRestart,
     "%1 %2 をインストールしてから、このインストール プログラムを再起動してください。"},
    {TextUnableToFindJvm, "%1 %2 がシステムに見つかりません。"},
    {TextInstallTheJvm, "JVM をインストールしてから、このインストーラーを再起動してください。"},
    {TextUnableToInstallJvm, "%1 %2 をインストールできません。"},
    {TextVersionRange, "%1 - %2"},
    {TextVersionOrLater, "%1 以降のバージョン"},
    {TextControlFileNotOpened, "kiv.control を開けません"},
    {TextControlFileNotOpenedForReading, "制御ファイルを開けません"},
    {TextControlFileNotRead, "kiv.control を読み取れません"},
    {TextErrorsLogNotSaved, "errors.log を保存できません"},
    {TextTryWritableDrive, "書き込み保護されていないドライブからインストールしてください。"},
    {TextAlreadyRunning,
     "このディレクトリでは別のインストーラーが既に実行中です。このインストーラーは何も"
     "インストールしません。もう一方が終了するまでお待ちください。"},
    {TextCaption, "Tallybox インストーラー"},
    {TextErrorCaption, "%1: エラー"},
    {TextSeeLogs,
     "\n\nエラーの詳細については、errors.log と jinstall.log ファイルを確認してください。"},
    {TextMainClassMissing, "インストール ウィザードのメイン クラス %1 が見つかりませんでした。"},
    {TextWizardArchiveMissing, "インストール ウィザードのアーカイブ %1 がありません。"},
    {TextWizardEndedWithoutStarting, "インストール ウィザードは開始せずに終了しました。"},
    {TextDownloadFailed, "Java ランタイムをダウンロードできませんでした。"},
    {TextDownloadAddress, "ダウンロード元: %1"},
    {TextPackageFaulty, "パッケージに問題があります: %1"},
    {TextDownloading, "Java をダウンロード中..."},
    {TextExpanding, "Java を展開中..."},
    {TextProgressOf, "%1 / %2"},
    {TextProvidedJvmRefused, "提供された Java ランタイムのバージョンは %1 ですが、このインストールには %2 が必要です。"},
    {TextJvmHomeMissing, "Java ランタイムのフォルダー %1 が提供されたものの中にありません。含まれているのは %2 です。"},
    {TextJvmFolderInTheWay, "フォルダー %1 があるため Java ランタイムを配置できません。インストーラーが置いたものではない %2 が含まれています。"},
    {TextExpansionFailed, "Java ランタイムはダウンロードされましたが、展開できませんでした。"},
    {TextElevationDeclined, "%1 が Java ランタイムをインストールするには管理者権限が必要ですが、許可されませんでした。"},
    {TextUnpacking, "インストーラーを展開中..."},
    {TextLookingForJvm, "インストール済みの Java ランタイムを検索中..."},
    {TextCheckingJvm, "Java ランタイムを確認中 (%1 / %2)..."},
    {TextInstallingJvm, "Java ランタイムをインストール中..."},
    {TextStartingWizard, "インストール ウィザードを開始中..."},
    {TextRenamedTo, "名前変更 ->"},
};

const Language Japanese = {"japanese", "Japanese found", "ja", Aliases, SHIFTJIS_CHARSET};
const LanguageSource JapaneseSource = {Texts, sizeof Texts / sizeof Texts[0]};
