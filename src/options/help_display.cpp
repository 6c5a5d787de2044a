#include "options/help_display.h"

#include <cstring>

#include "build_date.h"
#include "options/config_file.h"
#include "output/console_output.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/process_end.h"
#include "run/settings.h"
#include "run/version.h"

namespace {

const char* const SOURCE_SIDE = "照合元";
const char* const DEST_SIDE = "照合先";
constexpr int32_t HELP_NAME_LIMIT = 1022;  // an environment name this long is not expanded

// ---- The pages ----------------------------------------------------------------------
// Lines of the "formatted" blocks may hold one %s (the program name or the side label);
// the lines of the plain blocks are written as they stand.

const char* const SELECTION_OPTIONS[] = {
    "/d  ;[ON ]  サブディレクトリ処理モード  subDirectory",
    "/d- ;[OFF](既定)",
    "",
    "/c  ;[ON ]  不一致時照合続行モード  Continue",
    "/c- ;[OFF](既定)",
    "",
    "/samet  ;[ON ]  同一日時のファイルのみ照合モード  SAME Time",
    "/samet- ;[OFF](既定)",
    "/sameta ;[全日時同一]                             SAME Time All",
    "",
    "/difft  ;[ON ]  日時不一致のファイルのみ照合モード  DIFFerent Time",
    "/difft- ;[OFF](既定)",
    "",
    "/sames  ;[ON ]  同一サイズのファイルのみ照合モード  SAME Size",
    "/sames- ;[OFF](既定)",
    "        ;ディレクトリについては /sames /dirs 指定時のみ[ON]。",
};

const char* const ELEMENT_OPTIONS[] = {
    "/contents  ;[OFF]  内容照合モード  CONTENTS",
    "/contents- ;[ON ](既定)",
    "",
    "/txtbin  ;[ON ]  テキスト対バイナリ検出モード  TeXT BINary",
    "/txtbin- ;[OFF](既定)",
    "",
    "/size  ;[OFF]  サイズ照合モード  SIZE",
    "/size- ;[ON ](既定)",
    "",
    "/t  ;[OFF   ]  日時照合モード  Time",
    "/t- ;[ON    ](既定)",
    "/ta ;[全日時]                  Time All",
    "",
    "/td  ;[ON    ]  ディレクトリ日時照合モード  Time Directory",
    "/td- ;[OFF   ](既定)",
    "/tda ;[全日時]                              Time Directory All",
    "",
    "/a     ;[OFF   ]  属性照合モード          Attribute",
    "/a-    ;[ON    ]",
    "/aa    ;[全属性]                          Attribute All",
    "/aauto ;[自動  ](既定) CD時OFF/その他ON   Attribute AUTO",
};

const char* const NAME_OPTIONS[] = {
    "/name  ;[OFF]  ファイル名大小照合モード  NAME",
    "/name- ;[ON ](既定)",
    "",
    "/namealt  ;[ON ]  代替形式ファイル名照合モード  NAME ALTernate",
    "/namealt- ;[OFF](既定)",
    "",
    "/dirs  ;[ON ]  ディレクトリ・サイズ照合モード  Directory Size",
    "/dirs- ;[OFF](既定)",
    "",
    "/f  ;[ファイル    ]  ファイル種別モード  File",
    "/ff ;[ファイル    ] （/f と同じ）        File File",
    "/fd ;[ディレクトリ]                      File Directory",
    "/fa ;[両用        ](既定) （/f- と同じ） File All",
    "",
    "/case  ;[OFF]  ファイル名半角英大小文字同一視モード  CASE",
    "/case- ;[ON ](既定)",
    "       ;引数のファイル名のみに作用し、以下のオプションには作用しない。",
};

const char* const SKIP_FILTERS[] = {
    "/sh[<e>[,<e>...]] ;%s対象外先頭一致パス   Skip Head path",
    "/sH[<e>[,<e>...]] ;%s対象外先頭一致パス(大小区別)",
    "/st[<e>[,<e>...]] ;%s対象外末尾一致パス   Skip Tail path",
    "/sT[<e>[,<e>...]] ;%s対象外末尾一致パス(大小区別)",
    "/sp[<e>[,<e>...]] ;%s対象外パス           Skip Path",
    "/sP[<e>[,<e>...]] ;%s対象外パス(大小区別)",
    "/sd[<e>[,<e>...]] ;%s対象外ディレクトリ名 Skip Directory",
    "/sD[<e>[,<e>...]] ;%s対象外ディレクトリ名(大小区別)",
    "/sf[<e>[,<e>...]] ;%s対象外ファイル名     Skip File",
    "/sF[<e>[,<e>...]] ;%s対象外ファイル名(大小区別)",
    "/se[<e>[,<e>...]] ;%s対象外拡張子         Skip Extension",
    "/sE[<e>[,<e>...]] ;%s対象外拡張子(大小区別)",
    "/sa[<a>[,<a>...]] ;%s対象外属性           Skip Attribute",
    "/sA[<a>[,<a>...]] ;%s対象外属性(完全一致)",
};

const char* const LIMIT_FILTERS[] = {
    "/lh[<e>[,<e>...]] ;%s限定先頭一致パス   Limit Head path",
    "/lH[<e>[,<e>...]] ;%s限定先頭一致パス(大小区別)",
    "/lt[<e>[,<e>...]] ;%s限定末尾一致パス   Limit Tail path ※ファイルのみ",
    "/lT[<e>[,<e>...]] ;%s限定末尾一致パス(大小区別) ※ファイルのみ",
    "/lp[<e>[,<e>...]] ;%s限定パス           Limit Path",
    "/lP[<e>[,<e>...]] ;%s限定パス(大小区別)",
    "/ld[<e>[,<e>...]] ;%s限定ディレクトリ名 Limit Directory",
    "/lD[<e>[,<e>...]] ;%s限定ディレクトリ名(大小区別)",
    "/lf[<e>[,<e>...]] ;%s限定ファイル名     Limit File",
    "/lF[<e>[,<e>...]] ;%s限定ファイル名(大小区別)",
    "/le[<e>[,<e>...]] ;%s限定拡張子         Limit Extension",
    "/lE[<e>[,<e>...]] ;%s限定拡張子(大小区別)",
    "/la[<a>[,<a>...]] ;%s限定属性           Limit Attribute",
    "/lA[<a>[,<a>...]] ;%s限定属性(完全一致)",
    "/ls[開始サイズ][-[終了サイズ]] ;%s限定サイズ  Limit Size",
    "  ;サイズはバイト値を実数で指定。倍数単位 K, M, G が使用可能。",
    "  ;  K（キロ）=1024, M（メガ）=1024*1024, G（ギガ）=1024*1024*1024",
};

const char* const DATE_LIMITS[] = {
    "/lydc[開始日時][-[終了日時]] ;%s限定DIR生成日時 Limit Year Directory Create",
    "/lydw[開始日時][-[終了日時]] ;%s限定DIR書込日時 Limit Year Directory Write",
    "/lydr[開始日時][-[終了日時]] ;%s限定DIR読出日時 Limit Year Directory Read",
    "/lyd[開始日時][-[終了日時]]  ; /lydw の場合と同じ",
    "/lyc[開始日時][-[終了日時]]  ;%s限定ファイル生成日時 Limit Year Create",
    "/lyw[開始日時][-[終了日時]]  ;%s限定ファイル書込日時 Limit Year Write",
    "/lyr[開始日時][-[終了日時]]  ;%s限定ファイル読出日時 Limit Year Read",
    "/ly[開始日時][-[終了日時]]   ; /lyw の場合と同じ",
    "  ;日時は YYYY[MM[DD[HH[MM[SS]]]]] の形式",
};

const char* const DEST_FILTERS[] = {
    "/dsh[<e>[,<e>...]] ;%s対象外先頭一致パス  Destination Skip Head path",
    "/dsH[<e>[,<e>...]] ;%s対象外先頭一致パス(大小区別)",
    "/dsp[<e>[,<e>...]] ;%s対象外パス          Destination Skip Path",
    "/dsP[<e>[,<e>...]] ;%s対象外パス(大小区別)",
    "",
    "/dlh[<e>[,<e>...]] ;%s限定先頭一致パス    Destination Limit Head path",
    "/dlH[<e>[,<e>...]] ;%s限定先頭一致パス(大小区別)",
    "/dlp[<e>[,<e>...]] ;%s限定パス            Destination Limit Path",
    "/dlP[<e>[,<e>...]] ;%s限定パス(大小区別)",
};

const char* const FILTER_NOTES[] = {
    "  ;対象外オプション(/s.., /ds..)は OR 条件。一つでも該当すれば照合しない。",
    "  ;限定オプション(/l.., /dl..)はオプション間は AND、一つのオプションの要素",
    "  ;  間は OR 条件。使用中のすべての限定オプションに該当したものだけを照合。",
    "  ;対象外と限定の両方に該当する場合は、対象外が優先する。",
    "  ;/sd /sD /ld /lD /lyd.. はディレクトリのみ、/sf /sF /se /sE /lf /lF /le",
    "  ;  /lE /lt /lT /ls /ly /lyc /lyw /lyr はファイルのみに作用。他は両方に作用。",
    "  ;要素なしで指定すると、そのオプションは解除される。（例: /sh）",
    "  ;<e>は要素（パス、名前、拡張子）。, で区切って複数指定可能。末尾が \\ の",
    "  ;  要素は、そのディレクトリ以下のすべてを表す。",
    "  ;<a>は属性文字の組合せ。/sa /la は全属性を含むもの、/sA /lA は完全一致。",
    "  ;ワイルドカード ? * を使用可能。ただし /lh /lH /lt /lT /lp /lP /dl.. では",
    "  ;  末尾の構成要素でのみ使用可能。/sd /sD /ld /lD の \\* \\? はその文字自体。",
    "  ;先頭一致はパスの先頭から \\ の直前まで、末尾一致は \\ か : の直後から末尾",
    "  ;  までと比較する。（例: /stbak は x\\bak に一致、x\\abak には不一致）",
    "  ;属性: d=ディレクトリ r=読取専用 w=書込可能 h=隠し s=システム a=アーカイブ",
};

const char* const BLOCK_OPTIONS[] = {
    "/b<n>[<u>];[任意値  ]  照合単位  Block",
    "/bc       ;[クラスタ]            Block Cluster",
    "/bs       ;[セクタ  ]            Block Sector",
    "/b        ;[1Mバイト](既定) （/b0, /b1m と同じ）",
    "          ;<n>はバイト値を実数で指定。<u>は倍数単位 K, M, G。",
    "          ;  K（キロ）=1024, M（メガ）=1024*1024, G（ギガ）=1024*1024*1024",
    "          ;キャッシュ不使用時は、セクタ・サイズの整数倍に調整される。",
    "",
    "/cache  ;[ON  ]  キャッシュ使用モード  CACHE",
    "/cache- ;[OFF ] ",
    "/cachea ;[自動](既定)                  CACHE All",
    "",
    "/acalt  ;[ON  ]  代替形式ファイル参照モード  ACcess ALTernate",
    "/acalt- ;[OFF ]",
    "/acalta ;[自動](既定)                        ACcess ALTernate Auto",
};

const char* const VERBOSE_OPTIONS[] = {
    "/v[<m>][<e>...][<m>[<e>...]...] ;表示設定  Verbose",
    " <m>=+ ;付加      plus",
    "     - ;削除      minus （省略時）",
    "     = ;強制設定  equal",
    " <e>=a ;すべて          All",
    "     b ;照合開始表示    Beginning",
    "     c ;照合成功表示    Compelte",
    "     n ;照合先なし表示  Not exist",
    "     e ;不一致表示      Error",
    "     k ;照合対象外表示  sKip",
    "     s ;照合元表示      Source",
    "     d ;照合先表示      Destination",
    "     f ;終了合計表示    Finish",
    "/v ;[標準](既定) （/v=a-k と同じ）",
};

const char* const RUN_OPTIONS[] = {
    "/time[<n>] ;処理時間表示開始秒数  TIME",
    "           ;処理に<n>秒以上かかった時に処理時間を表示。負の値は表示なし。",
    "           ;<n>は整数。既定値は 300秒。/v+f の指定時のみ表示する。",
    "",
    "/beep[<n>] ;終了音発生開始秒数  BEEP",
    "           ;処理に<n>秒以上かかった時に終了音を発生。既定値は 120秒。",
    "           ;負の値は終了音なし（不一致時等の警告音は発生）。/v+f 時のみ。",
    "",
    "/log<file> ;[ON  ]  ログ・ファイル出力モード  LOG file",
    "/LOG<file> ;[追加]",
    "/log       ;[OFF ](既定)",
    "           ;<file>はログ・ファイルのファイル名",
    "",
    "/test  ;[ON ]  試験モード（表示のみ、照合せず）  TEST",
    "/test- ;[OFF](既定)",
};

const char* const CONTROL_OPTIONS[] = {
    "/suspend  ;[OFF]  システム休止抑制モード  SUSPEND",
    "/suspend- ;[ON ](既定)",
    "",
    "/p  ;[ON ]  画面一時停止モード  Pause",
    "/p- ;[OFF](既定)",
    "",
    "/?, /help ;使用方法説明（設定ファイルに登録不可） HELP",
    "",
    "【終了コード】",
};

const char* const EXIT_CODE_NOTES[] = {
    "  ※0 は不一致がなかった場合（照合したものが無い場合を含む）。",
    "  ※1 は /c なしで不一致が見つかり中断した場合、エラー、使用方法の表示、",
    "    一時停止中の [Q] による中止。",
    "  ※2 は不一致があり最後まで照合した場合（/c 指定時、または単一ファイル",
    "    の照合時）。照合中に消えた照合元（照合元行方不明）も不一致に数える。",
};

const char* const EXPLANATION[] = {
    "【解説】",
    "照合元と照合先を1項目ずつ比較し、コピーが正しく行われたかを確認する。",
    "照合元・照合先には、ファイル、ディレクトリ、ドライブ、ネットワーク共有",
    "（\\\\サーバ名\\共有名）を指定する。照合先を省略すると現在ディレクトリと照合。",
    "照合元のファイル名にはワイルドカード ? と * が使用可能。",
    "使用方法の行の □ は空白、△ は省略可能な空白、［ ］内は省略可能を表す。",
    "",
    "結果は1項目につき1行、照合元の名前、＝（一致）または ≠（不一致）、照合先の",
    "名前の順に表示する。照合元の名前は /v+s、照合先の名前は /v+d、一致は /v+c、",
    "不一致は /v+e、照合先にないディレクトリは /v+n、対象外は /v+k で表示される。",
    "  例: C:\\src\\a.txt＝D:\\dst\\a.txt",
    "      サイズ不一致 C:\\src\\b.txt≠D:\\dst\\b.txt",
    "不一致の行の先頭には、サイズ不一致、書込日時不一致、属性不一致、内容不一致、",
    "照合先なし 等の不一致の理由が付く。",
    "",
    "/time と /beep で <n> を省略すると 0 とみなす。",
    "オプションは設定ファイル、コマンド行の順に左から処理し、後の指定が優先する。",
    "/p の (Continue,/All/Quit) には、[C] か [Enter] で続行、[A] で以後は停止せず",
    "に表示、[Q] か [Esc] で中止する。出力をリダイレクトすると停止しない。",
};

const char* const NOTES_TIMES[] = {
    "【注意】",
    "照合する項目は、ファイル名の大小文字、代替形式ファイル名、サイズ、日時、",
    "属性、内容である。ファイルの日時には、生成日時（作成した日時）、書込日時",
    "（最後に書き込んだ日時）、読出日付（最後に読み出した日時）の3つがある。",
    "",
    "/t-（既定）はファイルの書込日時のみ、/ta はファイルの3つの日時すべてを照合",
    "する。/td はディレクトリの書込日時も、/tda はディレクトリの3つの日時も照合",
    "する。/samet, /sameta 指定時は日時を照合しない。",
    "生成日時は名前の変更では変わらないが、コピーするとコピー先ではコピーした",
    "日時になることが多いため、/ta で照合すると不一致になりやすい。",
    "読出日付はファイルを読むだけで更新されるため、照合の際は注意が必要。",
    "FAT の日時は2秒単位で、読出日付には時刻がない。FAT と他のファイル・",
    "システムの間では書込日時と生成日時を2秒単位で比較し、読出日付は照合しない。",
    "CD-ROM には読出日付がない。NTFS と CD-ROM(CDFS, UDF) の間では1秒未満の差",
    "を無視して比較する。",
};

const char* const NOTES_ATTRIBUTES[] = {
    "/a-（/aauto の既定動作）では、属性のうち d（ディレクトリ）、r/w（読取専用/",
    "書込可能）、h（隠し）、s（システム）を照合する。/aa ではさらに a（アーカイブ）",
    "も照合する。アーカイブ属性はバックアップ・ソフト等が変更するため、通常は",
    "照合しない。/aauto では CD-ROM(CDFS) が関係する場合は属性を照合しない。",
    "",
    "/suspend-（既定）では、照合中にシステムがスタンバイや休止状態に移行しよう",
    "とするのを拒否し、長時間の照合が途中で止まらないようにする。/suspend では",
    "休止を拒否しない。",
};

const char* const NAMING_RULES[] = {
    "【ファイルとディレクトリの指定方法】",
    "照合元には、ファイル名、ワイルドカードを含むファイル名、ディレクトリ名、",
    "ドライブ名（C: 等）、ネットワーク共有名（\\\\サーバ名\\共有名）を指定できる。",
    "照合先には、ファイル名、ディレクトリ名、ドライブ名、ネットワーク共有名を",
    "指定できる（ワイルドカードは不可）。照合先を省略すると現在ディレクトリ。",
    "照合元にファイルを指定し、照合先がディレクトリの場合は、その中の同名の",
    "ファイルと照合する。引数で直接指定したファイルどうしは名前を照合しない。",
    "",
    "/d と /fa（既定）を指定した場合、照合元にワイルドカードがあれば、すべての",
    "サブディレクトリでその名前に一致するファイルを照合する。ワイルドカードが",
    "なければ、末尾に \\ がなくてもディレクトリとみなして、その中全体を照合する",
    "（ディレクトリが無ければエラー）。/ff を指定するとファイル名とみなし、すべて",
    "のサブディレクトリでその名前のファイルを照合する。",
};

const char* const NAMING_EXAMPLES[] = {
    "  %s /d C:\\data D:\\save …… C:\\data 以下全体を D:\\save 以下と照合",
    "  %s /d C:\\data\\*.txt D:\\save …… C:\\data 以下の *.txt を照合",
    "",
    "/d を指定しない場合は、照合元のディレクトリの直下だけを照合する。",
    "  %s C:\\data D:\\save …… C:\\data 直下のファイルを照合",
    "  %s C:\\data\\a.txt D:\\save …… C:\\data\\a.txt と D:\\save\\a.txt を照合",
};

const char* const PATH_FILTER_ROOTS[] = {
    "照合元のパス・オプション（/sh /sH /sp /sP /lh /lH /lp /lP）に絶対パスで指定",
    "するパスは照合元以下に、照合先のパス・オプション（/dsh /dsH /dsp /dsP /dlh",
    "/dlH /dlp /dlP）のパスは照合先以下になければならない。そうでない場合は処理を",
    "停止する。相対パスは照合元または照合先の後に続くものとして扱う。",
};

const char* const LINK_NOTES[] = {
    "",
    "/d では、ジャンクションやシンボリック・リンク等のディレクトリへのリンクも",
    "その先をたどって照合する。ただし、リンクを含むディレクトリかその上位を指す",
    "リンク（循環リンク）は、ディレクトリとして照合するが中はたどらず、/v+c の",
    "指定時は 循環リンクのため省略 と表示する。中にあるものは上位のディレクトリ",
    "として照合され、照合先がディレクトリであれば不一致にはならない。",
};

const char* const ALTERNATE_ACCESS[] = {
    "【代替形式ファイル参照】",
    "/acalt では、ファイルやディレクトリを代替形式ファイル名（8.3形式の短い名前、",
    "例 PROGRA~1）で参照する。ただし、代替形式名が存在し、長いファイル名よりも",
    "短い場合に限る。パスが長すぎる場合等に有効。",
    "/acalta（既定）では、ボリュームのファイル・システムが FAT12, FAT16, FAT32,",
    "NTFS の場合のみ代替形式で参照する。照合元と照合先で個別に判断する。",
    "/acalt- では常に長いファイル名で参照する。",
    "結果の表示とフィルタとの比較には、常に長いファイル名を使う。",
};

const char* const CACHE_RULES[] = {
    "【キャッシュ】",
    "/cache はオペレーティング・システムのキャッシュを使ってファイルを読み、",
    "キャッシュは消去しない。キャッシュに以前の内容が残っていると、ディスク上の",
    "実際の内容ではなくキャッシュの内容と照合してしまうことがある。",
    "/cache- と /cachea（既定）では、照合の前にボリュームを取り外してキャッシュ",
    "を消去し、照合の後にも消去できたボリュームのキャッシュを再び消去する。",
    "/cache- はキャッシュを使わずディスクから直接読む（照合単位はセクタ・サイズ",
    "の整数倍に調整される）。/cachea は、消去できた側はキャッシュを使って、消去",
    "できなかった側はキャッシュを使わずに読む。",
    "キャッシュを消去する前にはボリュームをロックする。他のプログラムがボリューム",
    "を使用中の場合はロックに失敗し、キャッシュは消去されない。この場合 /cachea",
    "ではその側をキャッシュを使わずに読み、ログ・ファイルには (消去不能) と記録",
    "される。消去は Windows NT 系のドライブ名のあるボリュームに限られ、ネット",
    "ワーク・ドライブと Windows 95/98 では消去しない。",
};

const char* const CONFIG_RULES[] = {
    "【設定ファイル】",
    "毎回指定するオプションは設定ファイルに登録できる。設定ファイルはこのコマンド",
    "と同じディレクトリに置き、名前はコマンドのファイル名の拡張子を cfg にしたもの。",
    "オプションは行の先頭から / で始めて書く。1行に複数書く場合は /d/c のように",
    "続けて書く（空白では区切れない）。# または ; から行末までは注釈。",
    "%名前% は環境変数の値に置き換えられる。switch=文字 の行で、/ のほかに",
    "オプションの先頭に使えるスイッチ文字を1つ追加できる。",
    "設定ファイルの後にコマンド行のオプションを処理するので、コマンド行が優先。",
    "",
};

// Each example page follows the previous one without a blank line.
const char* const EXAMPLES_ARGUMENTS[] = {
    "【使用例】 ※f1, f2 はファイル、d1, d2, d3 はディレクトリ",
    "%s f1 f2 …… ファイル f1 と f2 を照合",
    "%s f1 d1 …… f1 と d1\\f1 を照合",
    "%s d1\\f1 …… d1\\f1 と現在ディレクトリの f1 を照合",
    "%s d1 d2 …… d1 直下のファイルを d2 直下の同名のファイルと照合",
    "%s d1 …… d1 直下のファイルを現在ディレクトリのファイルと照合",
    "%s d1\\*.txt d2 …… d1 直下の拡張子 txt のファイルを d2 と照合",
    "%s d1\\a* d2 …… d1 直下の名前が a で始まるファイルを d2 と照合",
    "%s *.doc d2 …… 現在ディレクトリの拡張子 doc のファイルを d2 と照合",
    "%s C: D: …… ドライブ C: と D: の現在ディレクトリどうしを照合",
    "%s C:\\ D:\\ …… ドライブ C: と D: のルート直下を照合",
    "%s C:\\d1 D:\\ …… C:\\d1 直下を D: のルート直下と照合",
    "%s \\\\srv\\share\\d1 d2 …… ネットワーク共有上の d1 を d2 と照合",
    "%s \\\\srv\\share D:\\d3 …… 共有 \\\\srv\\share のルート直下を D:\\d3 と照合",
    "%s d1 \\\\srv\\share\\d1 …… d1 をネットワーク共有上の d1 と照合",
    "%s ..\\d1 d2 …… 一つ上のディレクトリにある d1 を d2 と照合",
    "%s d1 ..\\d3 …… d1 を一つ上のディレクトリにある d3 と照合",
};

const char* const EXAMPLES_SUBDIRECTORIES[] = {
    "%s /d d1 d2 …… d1 以下のすべてのファイルとディレクトリを d2 以下と照合",
    "%s /d /f d1 d2 …… d1 以下のすべてのファイルのみを照合",
    "%s /d /fd d1 d2 …… d1 以下のすべてのディレクトリのみを照合",
    "%s /d d1\\*.txt d2 …… d1 以下のすべての拡張子 txt のファイルを照合",
    "%s /d /ff d1\\f1 d2 …… d1 以下のすべての階層にある f1 を照合",
};

const char* const EXAMPLES_DISPLAY[] = {
    "%s d1\\a*.txt d2 …… a か A で始まる名前の txt ファイルを照合（既定）",
    "%s /case d1\\a*.txt d2 …… 小文字の a で始まる名前の txt ファイルのみ照合",
    "%s /v-c d1 d2 …… 一致したファイルは表示せず、不一致のみ表示",
    "%s /v-d d1 d2 …… 照合先の名前を表示せず、照合元の名前のみ表示",
    "%s /v-s d1 d2 …… 照合元の名前を表示せず、照合先の名前のみ表示",
    "%s /v=esdf d1 d2 …… 不一致の行と終了合計のみ表示",
    "%s /v+k d1 d2 …… 対象外になったファイル等も表示",
    "%s /v-f d1 d2 …… 終了合計を表示しない",
    "%s /v-b d1 d2 …… 照合中のファイル名を表示しない",
    "%s /v=a-k d1 d2 …… 既定の表示（/v と同じ）",
};

const char* const EXAMPLES_ELEMENTS[] = {
    "%s /c d1 d2 …… 不一致があっても最後まで照合を続行",
    "%s /d /c d1 d2 …… d1 以下全体を照合し、不一致をすべて表示",
    "%s /samet d1 d2 …… 書込日時が同じファイルのみ照合（日時は照合しない）",
    "%s /sameta d1 d2 …… 3つの日時がすべて同じファイルのみ照合",
    "%s /difft d1 d2 …… 書込日時が異なるファイルのみ照合",
    "%s /sames d1 d2 …… サイズが同じファイルのみ照合",
    "%s /contents d1 d2 …… 内容を照合せず、名前、サイズ、日時、属性のみ照合",
    "%s /txtbin d1 d2 …… 内容の不一致をテキストとバイナリの別で表示",
    "%s /size d1 d2 …… サイズを照合しない",
    "%s /t d1 d2 …… 日時を照合しない",
    "%s /ta d1 d2 …… 生成日時、書込日時、読出日付をすべて照合",
    "%s /d /td d1 d2 …… ディレクトリの書込日時も照合",
    "%s /d /tda d1 d2 …… ディレクトリの3つの日時もすべて照合",
    "%s /d /dirs d1 d2 …… ディレクトリのサイズも照合",
    "%s /a d1 d2 …… 属性を照合しない",
    "%s /aa d1 d2 …… アーカイブ属性を含めすべての属性を照合",
    "%s /name d1 d2 …… ファイル名の大小文字を照合しない",
    "%s /namealt d1 d2 …… 代替形式ファイル名（8.3形式の名前）も照合",
    "%s /contents /t d1 d2 …… 名前、サイズ、属性のみ照合",
};

const char* const EXAMPLES_SKIP[] = {
    "%s /d /shtmp d1 d2 …… d1\\tmp 以下を照合しない",
    "%s /d /shtmp,work\\old d1 d2 …… d1\\tmp と d1\\work\\old 以下を照合しない",
    "%s /d /shC:\\d1\\tmp C:\\d1 d2 …… 絶対パスで指定（照合元以下であること）",
    "%s /d /sttmp d1 d2 …… 名前が tmp のファイルとディレクトリを照合しない",
    "%s /d /stold\\*.bak d1 d2 …… old 以下の拡張子 bak のファイルを照合しない",
    "%s /d /sp*\\cache\\* d1 d2 …… パスの途中に cache があるものを照合しない",
    "%s /d /sdbackup d1 d2 …… 名前が backup のディレクトリを照合しない",
    "%s /d /sf*.tmp,~* d1 d2 …… *.tmp と ~ で始まる名前のファイルを照合しない",
    "%s /d /sebak,tmp d1 d2 …… 拡張子が bak と tmp のファイルを照合しない",
    "%s /d /sEBAK d1 d2 …… 拡張子が大文字の BAK のファイルのみ照合しない",
    "%s /d /sah,s d1 d2 …… 隠し属性かシステム属性のファイルを照合しない",
    "%s /d /sAr d1 d2 …… 属性が読取専用だけのファイルを照合しない",
    "%s /d /dshold d1 d2 …… 照合先の d2\\old 以下を照合しない",
};

const char* const EXAMPLES_LIMIT[] = {
    "%s /d /lhsrc d1 d2 …… d1\\src 以下のみ照合",
    "%s /d /lhsrc,doc d1 d2 …… d1\\src 以下と d1\\doc 以下のみ照合",
    "%s /d /lhC:\\d1\\src C:\\d1 d2 …… 絶対パスで指定（照合元以下であること）",
    "%s /d /ltconfig.h d1 d2 …… 名前が config.h のファイルのみ照合",
    "%s /d /ltinclude\\*.h d1 d2 …… include 以下の拡張子 h のファイルのみ照合",
    "%s /ls1M- d1 d2 …… サイズが 1M バイト以上のファイルのみ照合",
    "%s /ls-1.5K d1 d2 …… サイズが 1.5K(1536) バイト以下のファイルのみ照合",
    "%s /ls10K-2M d1 d2 …… サイズが 10K 以上 2M バイト以下のファイルのみ照合",
    "%s /ly2005 d1 d2 …… 書込日時が 2005年のファイルのみ照合",
    "%s /ly200504- d1 d2 …… 書込日時が 2005年4月以降のファイルのみ照合",
    "%s /ly-20050419 d1 d2 …… 書込日時が 2005年4月19日以前のファイルのみ照合",
    "%s /lyc200501-200503 d1 d2 …… 生成日時が 2005年1月から3月のもののみ照合",
    "%s /d /lyd2005 d1 d2 …… 書込日時が 2005年のディレクトリのみ照合",
};

const char* const EXAMPLES_RUN[] = {
    "%s /p /d d1 d2 …… 画面がいっぱいになるたびに一時停止",
    "%s /d /v-n d1 d2 …… 照合先にないディレクトリを表示しない",
    "%s /logcheck.log d1 d2 …… 結果を画面と check.log に書込（新規）",
    "%s /LOGcheck.log d1 d2 …… 結果を画面と check.log に書込（追加）",
    "%s /d /c /v-c /logng.log d1 d2 …… 不一致のみを表示し ng.log に記録",
    "%s /time0 d1 d2 …… 処理時間を常に表示",
    "%s /time-1 d1 d2 …… 処理時間を表示しない",
    "%s /beep0 d1 d2 …… 常に終了音を発生",
    "%s /beep-1 d1 d2 …… 終了音を発生しない（警告音は発生）",
    "%s /cache d1 d2 …… キャッシュを消去せず、キャッシュを使って照合",
    "%s /cache- d1 d2 …… キャッシュを使わずディスクから直接読んで照合",
    "%s /test /d d1 d2 …… 照合せず、照合の対象になるものを表示",
    "%s /suspend /d d1 d2 …… 照合中もシステムの休止を拒否しない",
    "%s /? …… 使用方法説明",
};

// ---- Writing ------------------------------------------------------------------------

template <size_t N>
void writePlain(const char* const (&lines)[N]) {
    for (const char* line : lines) plainPrint("%s\n", line);
}

template <size_t N>
void writeFormatted(const char* const (&lines)[N], const char* argument) {
    for (const char* line : lines) {
        plainPrint(line, argument);
        plainPrint("\n");
    }
}

void endPage() { helpPagerPrompt(PAGER_PROMPT); }

void nextItem() {
    endPage();
    plainPrint("\n");
}

// The last path component without its four-character extension; the command's own name
// for no path.
char* programNameOf(const char* executablePath) {
    const char* name = COMMAND_NAME;
    size_t length = std::strlen(name);
    if (executablePath != nullptr && executablePath[0] != '\0') {
        name = executablePath + findLastByte(executablePath, '\\') + 1;
        length = std::strlen(name);
        length = length > 4 ? length - 4 : 0;
    }
    char* copy = static_cast<char*>(os::allocate(length + 1));
    if (copy == nullptr) stopWithMessage("メモリー不足");
    std::memcpy(copy, name, length);
    copy[length] = '\0';
    return copy;
}

void writeBanner(const char* program) {
    plainPrint("%s  ファイル照合コマンド\n", program);
    plainPrint("  バージョン %s  作成日 %s\n", VERSION_TEXT, MORVI_BUILD_DATE);
    plainPrint("\n");
    plainPrint("%s ［△ オプション群］□ 照合元［□ 照合先］\n", program);
    plainPrint("\n");
}

bool hasWhiteSpace(const char* text) { return std::strpbrk(text, " \t") != nullptr; }

bool isOptionLine(const char* line) {
    return line[0] == '/' || (settings.switchChar != '\0' && line[0] == settings.switchChar);
}

// Writes an option line of the configuration file: the first unchanged, later ones after
// a blank, those with white space in double quotes.
void showOptionLine(const char* line, void* shown) {
    if (!isOptionLine(line)) return;
    if ((*static_cast<int*>(shown))++ > 0) plainPrint(" ");
    plainPrint(hasWhiteSpace(line) ? "\"%s\"" : "%s", line);
}

// The option lines of the configuration file on one line, as the second pass reads them.
void writeCurrentSettings(const char* configPath) {
    plainPrint("・現在設定=");
    int shown = 0;
    ConfigScanResult result = scanConfigFile(configPath, HELP_NAME_LIMIT, showOptionLine, &shown);
    if (result.outcome == CONFIG_MISSING) {
        plainPrint("設定ファイルが存在しません。\n");
        return;
    }
    plainPrint("\n");
    stopOnConfigError(configPath, result);
}

void writeSwitchCharacter() {
    char switchChar = settings.switchChar;
    // A switch line with nothing after "=" leaves only "/" as well.
    if (switchChar == '/' || switchChar == '\0') {
        plainPrint("・スイッチ文字= / のみが使用可能。\n");
        return;
    }
    plainPrint("・スイッチ文字= / 及び %c が使用可能。\n", switchChar);
    plainPrint("  /p と %cp は意味が同じになります。\n", switchChar);
    plainPrint("  /f/p と %cf %cp は意味が同じになります。\n", switchChar, switchChar);
    plainPrint("  %cスイッチではオプションの区切に空白が必須です。\n", switchChar);
}

}  // namespace

void showHelp(const char* executablePath) {
    helpPagerInit(1);
    char* program = programNameOf(executablePath);

    writeBanner(program);
    writePlain(SELECTION_OPTIONS);
    nextItem();
    writePlain(ELEMENT_OPTIONS);
    nextItem();
    writePlain(NAME_OPTIONS);
    nextItem();
    writeFormatted(SKIP_FILTERS, SOURCE_SIDE);
    nextItem();
    writeFormatted(LIMIT_FILTERS, SOURCE_SIDE);
    nextItem();
    writeFormatted(DATE_LIMITS, SOURCE_SIDE);
    nextItem();
    writeFormatted(DEST_FILTERS, DEST_SIDE);
    nextItem();
    writePlain(FILTER_NOTES);
    nextItem();
    writePlain(BLOCK_OPTIONS);
    nextItem();
    writePlain(VERBOSE_OPTIONS);
    nextItem();
    writePlain(RUN_OPTIONS);
    nextItem();
    writePlain(CONTROL_OPTIONS);
    plainPrint("%d:エラーなし、照合成功\n", 0);
    plainPrint("%d:エラー発生、照合中断\n", 1);
    plainPrint("%d:エラー発生、照合継続\n", 2);
    writePlain(EXIT_CODE_NOTES);
    nextItem();
    writePlain(EXPLANATION);
    nextItem();
    writePlain(NOTES_TIMES);
    endPage();
    writePlain(NOTES_ATTRIBUTES);
    nextItem();
    writePlain(NAMING_RULES);
    writeFormatted(NAMING_EXAMPLES, program);
    endPage();
    writePlain(PATH_FILTER_ROOTS);
    writePlain(LINK_NOTES);
    nextItem();
    writePlain(ALTERNATE_ACCESS);
    nextItem();
    writePlain(CACHE_RULES);
    nextItem();
    writePlain(CONFIG_RULES);
    char* configPath = configFilePath(executablePath != nullptr ? executablePath : "");
    if (configPath == nullptr) stopWithMessage("メモリー不足");
    plainPrint("・設定ファイル=%s\n", configPath);
    writeCurrentSettings(configPath);
    writeSwitchCharacter();
    nextItem();
    writeFormatted(EXAMPLES_ARGUMENTS, program);
    endPage();
    writeFormatted(EXAMPLES_SUBDIRECTORIES, program);
    endPage();
    writeFormatted(EXAMPLES_DISPLAY, program);
    endPage();
    writeFormatted(EXAMPLES_ELEMENTS, program);
    endPage();
    writeFormatted(EXAMPLES_SKIP, program);
    endPage();
    writeFormatted(EXAMPLES_LIMIT, program);
    endPage();
    writeFormatted(EXAMPLES_RUN, program);
    endProcess(1);
}
