<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Text</name>
    <message>
        <source>%1
への変更を保存しますか</source>
        <translation>Save the changes to
%1?</translation>
    </message>
    <message>
        <source>%1 に保存しました</source>
        <translation>Saved to %1</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした</source>
        <translation>Could not save to %1</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした
%2</source>
        <translation>Could not save to %1
%2</translation>
    </message>
    <message>
        <source>%1 の設定が読み込めません
ﾕｰｻﾞｰ環境ﾌｧｲﾙ(%2) が破損しています</source>
        <translation>The settings %1 cannot be read
The settings file (%2) is damaged</translation>
    </message>
    <message>
        <source>%1 の設定が多すぎるため一部だけを読み込みました
ﾕｰｻﾞｰ環境ﾌｧｲﾙ(%2) の値はそのまま残します</source>
        <translation>The settings %1 are too large; only a part was loaded
The value in the settings file (%2) is kept as it is</translation>
    </message>
    <message>
        <source>%1 のｼｮｰﾄｶｯﾄを %2 に作成しました</source>
        <translation>A shortcut to %1 was made in %2</translation>
    </message>
    <message>
        <source>%1 を起動できませんでした</source>
        <translation>Could not start %1</translation>
    </message>
    <message>
        <source>%1 を開けませんでした</source>
        <translation>Could not open %1</translation>
    </message>
    <message>
        <source>%1 実行ﾌｧｲﾙの指定</source>
        <translation>Choose the program for %1</translation>
    </message>
    <message>
        <source>16色(4bit)</source>
        <translation>16 Colours (4 bit)</translation>
    </message>
    <message>
        <source>256色(8bit)</source>
        <translation>256 Colours (8 bit)</translation>
    </message>
    <message>
        <source>Brivaneで開く</source>
        <translation>Open in Brivane</translation>
    </message>
    <message>
        <source>Ctrl+A 選択範囲を複写して待機</source>
        <translation>Ctrl+A Copies the selection and stands by</translation>
    </message>
    <message>
        <source>Ctrl+C 現在の画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰします</source>
        <translation>Ctrl+C Copies the picture to the clipboard</translation>
    </message>
    <message>
        <source>Ctrl+O 画像ﾌｧｲﾙを開きます</source>
        <translation>Ctrl+O Opens a picture file</translation>
    </message>
    <message>
        <source>Ctrl+S 上書き保存</source>
        <translation>Ctrl+S Saves the picture</translation>
    </message>
    <message>
        <source>Ctrl+T 縦方向に綴じこめます</source>
        <translation>Ctrl+T Cuts out the range vertically</translation>
    </message>
    <message>
        <source>Ctrl+V ｸﾘｯﾌﾟﾎﾞｰﾄﾞから新規画像に貼り付けます</source>
        <translation>Ctrl+V Pastes the clipboard as a new picture</translation>
    </message>
    <message>
        <source>Ctrl+W 作業ﾌｫﾙﾀﾞに連番をつけて保存します</source>
        <translation>Ctrl+W Saves into the work folder with the next number</translation>
    </message>
    <message>
        <source>Ctrl+W 作業ﾌｫﾙﾀﾞをｴｸｽﾌﾟﾛｰﾗｰで開きます</source>
        <translation>Ctrl+W Opens the work folder in the file manager</translation>
    </message>
    <message>
        <source>Ctrl+X 画像をﾄﾘﾐﾝｸﾞします</source>
        <translation>Ctrl+X Trims the picture</translation>
    </message>
    <message>
        <source>Ctrl+Y 横方向に綴じこめます</source>
        <translation>Ctrl+Y Cuts out the range horizontally</translation>
    </message>
    <message>
        <source>Language / 言語</source>
        <translation>Language / 言語</translation>
    </message>
    <message>
        <source>Varnel - 保存できなかったｷｬﾌﾟﾁｬｰ: %1枚</source>
        <translation>Varnel - captures not saved: %1</translation>
    </message>
    <message>
        <source>Varnel - 待機中 %1枚</source>
        <translation>Varnel - standing by, %1 taken</translation>
    </message>
    <message>
        <source>Varnel - 待機中 %1枚 (%2)</source>
        <translation>Varnel - standing by, %1 taken (%2)</translation>
    </message>
    <message>
        <source>Waylandのｸﾘｯﾌﾟﾎﾞｰﾄﾞの監視が止まったため、Waylandのﾌﾟﾛｸﾞﾗﾑでｺﾋﾟｰした画像は取り込めません。%1</source>
        <translation>Watching the Wayland clipboard stopped, so pictures copied in Wayland programs cannot be taken. %1</translation>
    </message>
    <message>
        <source>この操作はできませんでした。</source>
        <translation>This command could not be carried out.</translation>
    </message>
    <message>
        <source>この操作はできませんでした。画像は操作前のままです。</source>
        <translation>This command could not be carried out. The picture is as it was before.</translation>
    </message>
    <message>
        <source>このﾃﾞｽｸﾄｯﾌﾟでは、Waylandのﾌﾟﾛｸﾞﾗﾑでｺﾋﾟｰした画像をﾊﾞｯｸｸﾞﾗｳﾝﾄﾞで取り込めません。%1</source>
        <translation>On this desktop, pictures copied in Wayland programs cannot be taken in the background. %1</translation>
    </message>
    <message>
        <source>ほかのｺﾋﾟｰは、このまま待機して取り込みます。</source>
        <translation>Other copies are still taken while Varnel stands by.</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ディスクの空き容量が不足しています</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>フォルダが見つかりません</source>
        <translation>The folder is not there</translation>
    </message>
    <message>
        <source>マクロの呼び出しが深すぎるため中止しました</source>
        <translation>The macro was stopped: macros call each other too deeply</translation>
    </message>
    <message>
        <source>マクロの実行中にエラーが発生しました: %1</source>
        <translation>An error occurred while the macro ran: %1</translation>
    </message>
    <message>
        <source>マクロを記録終了します</source>
        <translation>Recording of the macro ends.</translation>
    </message>
    <message>
        <source>マクロを記録開始します</source>
        <translation>Recording of a macro starts.</translation>
    </message>
    <message>
        <source>マクロ記録中・・・</source>
        <translation>Recording a macro...</translation>
    </message>
    <message>
        <source>メモリが足りないため、この操作はできませんでした。</source>
        <translation>There was not enough memory for this command.</translation>
    </message>
    <message>
        <source>メモリが足りないため、この操作はできませんでした。画像は操作前のままです。</source>
        <translation>There was not enough memory for this command. The picture is as it was before.</translation>
    </message>
    <message>
        <source>上下反転</source>
        <translation>Flip Upside Down</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>何もしない</source>
        <translation>Do Nothing</translation>
    </message>
    <message>
        <source>作業ﾌｫﾙﾀﾞ</source>
        <translation>Work Folder</translation>
    </message>
    <message>
        <source>作業ﾌｫﾙﾀﾞを空にして良いですが</source>
        <translation>Empty the work folder?</translation>
    </message>
    <message>
        <source>作業ﾌｫﾙﾀﾞを表示</source>
        <translation>Show Work Folder</translation>
    </message>
    <message>
        <source>作業ﾌｫﾙﾀﾞを非表示</source>
        <translation>Hide Work Folder</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Don't Save</translation>
    </message>
    <message>
        <source>修正・削除</source>
        <translation>Edit or Delete</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>右180度</source>
        <translation>Right 180°</translation>
    </message>
    <message>
        <source>右90度</source>
        <translation>Right 90°</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>回転</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>宛名</source>
        <translation>Address labels</translation>
    </message>
    <message>
        <source>実寸(100%)</source>
        <translation>Actual Size (100%)</translation>
    </message>
    <message>
        <source>実行ﾌｧｲﾙ</source>
        <translation>Programs</translation>
    </message>
    <message>
        <source>左180度</source>
        <translation>Left 180°</translation>
    </message>
    <message>
        <source>左90度</source>
        <translation>Left 90°</translation>
    </message>
    <message>
        <source>左右反転</source>
        <translation>Flip Left to Right</translation>
    </message>
    <message>
        <source>強調(相対)</source>
        <translation>Highlight (Relative)</translation>
    </message>
    <message>
        <source>強調(ﾏｰｶｰ)</source>
        <translation>Highlight (Marker)</translation>
    </message>
    <message>
        <source>文書ﾃﾞｰﾀｰﾍﾞｰｽ</source>
        <translation>Document database</translation>
    </message>
    <message>
        <source>日本語</source>
        <translation>日本語 (Japanese)</translation>
    </message>
    <message>
        <source>書き込みに失敗しました</source>
        <translation>Writing failed</translation>
    </message>
    <message>
        <source>書き込みの権限がありません</source>
        <translation>Writing is not permitted</translation>
    </message>
    <message>
        <source>書き込みの許可がありません</source>
        <translation>Writing is not permitted</translation>
    </message>
    <message>
        <source>最小化時</source>
        <translation>When Minimised</translation>
    </message>
    <message>
        <source>最小化時に、自動的にｷｬﾌﾟﾁｬｰ待機</source>
        <translation>Stand By for Captures</translation>
    </message>
    <message>
        <source>最小化時は、ｷｬﾌﾟﾁｬｰ待機しない</source>
        <translation>Do Not Stand By</translation>
    </message>
    <message>
        <source>格納</source>
        <translation>Storage</translation>
    </message>
    <message>
        <source>横方向</source>
        <translation>Horizontally</translation>
    </message>
    <message>
        <source>横方向を基準に縮小</source>
        <translation>Shrink to the Width</translation>
    </message>
    <message>
        <source>次に起動したときから、日本語で表示します。</source>
        <translation>Varnel shows Japanese from the next start.</translation>
    </message>
    <message>
        <source>次に起動したときから、英語で表示します。</source>
        <translation>Varnel shows English from the next start.</translation>
    </message>
    <message>
        <source>現在のﾌｧｲﾙをBrivaleで開く</source>
        <translation>Open Current File in Brivale</translation>
    </message>
    <message>
        <source>現在のﾌｫﾙﾀﾞをBrivaneで開く</source>
        <translation>Open Current Folder in Brivane</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>画像L</source>
        <translation>Picture L</translation>
    </message>
    <message>
        <source>画像の変更を保存しますか</source>
        <translation>Save the changes to the picture?</translation>
    </message>
    <message>
        <source>画像を更新して編集を継続</source>
        <translation>Update the Picture and Go On</translation>
    </message>
    <message>
        <source>画像を更新して閉じる</source>
        <translation>Update the Picture and Close</translation>
    </message>
    <message>
        <source>画像を書き出せませんでした</source>
        <translation>The picture could not be written</translation>
    </message>
    <message>
        <source>画像を連番で保存時の連番の前部分</source>
        <translation>The text before the number when pictures are saved with numbers</translation>
    </message>
    <message>
        <source>画像枠を追加</source>
        <translation>Add Frame</translation>
    </message>
    <message>
        <source>画像格納の指定</source>
        <translation>Storage Settings</translation>
    </message>
    <message>
        <source>画像編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>画像ﾌｧｲﾙ</source>
        <translation>Picture files</translation>
    </message>
    <message>
        <source>画像ﾌｧｲﾙを開く</source>
        <translation>Open a Picture File</translation>
    </message>
    <message>
        <source>画面を表示</source>
        <translation>Show the Window</translation>
    </message>
    <message>
        <source>登録名に &quot;:&quot; と &quot;,&quot; は使えません</source>
        <translation>A range name cannot hold &quot;:&quot; or &quot;,&quot;</translation>
    </message>
    <message>
        <source>空いている番号がありません</source>
        <translation>No free number is left</translation>
    </message>
    <message>
        <source>範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>範囲の登録</source>
        <translation>Register Ranges</translation>
    </message>
    <message>
        <source>範囲のｸﾘｱ</source>
        <translation>Clear Range</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>綴じ込み</source>
        <translation>Cut Out</translation>
    </message>
    <message>
        <source>編集はｷｬﾝｾﾙして閉じる</source>
        <translation>Cancel the Edit and Close</translation>
    </message>
    <message>
        <source>縦方向</source>
        <translation>Vertically</translation>
    </message>
    <message>
        <source>縦方向を基準に縮小</source>
        <translation>Shrink to the Height</translation>
    </message>
    <message>
        <source>縦横比率を変えて縮小</source>
        <translation>Shrink to the Range (Aspect Changes)</translation>
    </message>
    <message>
        <source>色数</source>
        <translation>Colours</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;Display</translation>
    </message>
    <message>
        <source>表示ｻｲｽﾞ</source>
        <translation>View Size</translation>
    </message>
    <message>
        <source>記入_終了</source>
        <translation>Stop Recording</translation>
    </message>
    <message>
        <source>記入_開始</source>
        <translation>Start Recording</translation>
    </message>
    <message>
        <source>設定(&amp;U)</source>
        <translation>Set&amp;up</translation>
    </message>
    <message>
        <source>設定を保存できません
ﾕｰｻﾞｰ環境ﾌｧｲﾙ(%1)
%2</source>
        <translation>The settings cannot be saved
Settings file (%1)
%2</translation>
    </message>
    <message>
        <source>読み取り専用のディスクです</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>読み取り専用のﾃﾞｨｽｸです</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>読込時の画像に戻す</source>
        <translation>Revert to the Loaded Picture</translation>
    </message>
    <message>
        <source>連番をつけて保存</source>
        <translation>Save with Next Number</translation>
    </message>
    <message>
        <source>連番をつけて保存 &amp; 画面を表示</source>
        <translation>Save with Next Number &amp; Show the Window</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>電卓が見つかりません
(gnome-calculator, kcalc, qalculate-gtk, galculator, xcalc のいずれかを入れてください)</source>
        <translation>No calculator was found
(install one of gnome-calculator, kcalc, qalculate-gtk, galculator, xcalc)</translation>
    </message>
    <message>
        <source>ｴｸｽﾌﾟﾛｰﾗｰで開く</source>
        <translation>Open in File Manager</translation>
    </message>
    <message>
        <source>ｷｬﾌﾞﾁｬｰ待機</source>
        <translation>Capture Standby</translation>
    </message>
    <message>
        <source>ｷｬﾌﾟﾁｬ後(&amp;A)</source>
        <translation>&amp;After a Capture</translation>
    </message>
    <message>
        <source>ｷｬﾌﾟﾁｬ後減色(&amp;C)</source>
        <translation>&amp;Colours after a Capture</translation>
    </message>
    <message>
        <source>ｷｬﾌﾟﾁｬｰ画像に取り込まない</source>
        <translation>Leave Out of Captures</translation>
    </message>
    <message>
        <source>ｷｬﾌﾟﾁｬｰ画像に取り込む</source>
        <translation>Include in Captures</translation>
    </message>
    <message>
        <source>ｷｬﾌﾟﾁｬｰ画像を保存できませんでした
%1
%2</source>
        <translation>A capture could not be saved
%1
%2</translation>
    </message>
    <message>
        <source>ｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼付</source>
        <translation>Paste from Clipboard</translation>
    </message>
    <message>
        <source>ｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰ</source>
        <translation>Copy to Clipboard</translation>
    </message>
    <message>
        <source>ｸﾞﾗﾌ</source>
        <translation>Graph</translation>
    </message>
    <message>
        <source>ｸﾞﾚｰ(4bit)</source>
        <translation>Grey (4 bit)</translation>
    </message>
    <message>
        <source>ｸﾞﾚｰ(8bit)</source>
        <translation>Grey (8 bit)</translation>
    </message>
    <message>
        <source>ｽｹｰﾙ</source>
        <translation>Fit to Window</translation>
    </message>
    <message>
        <source>ｽｹｰﾙ表示</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>ｽﾀﾝﾌﾟ</source>
        <translation>Stamp</translation>
    </message>
    <message>
        <source>ｽﾀﾝﾌﾟの画像を変更する場合は､ここをﾀﾞﾌﾞﾙｸﾘｯｸして下さい</source>
        <translation>Double-click here to change the stamp picture</translation>
    </message>
    <message>
        <source>ｽﾞｰﾑ</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>ﾁｬｰﾄ</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>ﾂｰﾙﾊﾞｰを表示</source>
        <translation>Show Tool Bar</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸの空き容量が足りません</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>ﾄﾘﾐﾝｸﾞ</source>
        <translation>Trim</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ %1 が見つかりません</source>
        <translation>The file %1 is not there</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ %1 を開けません</source>
        <translation>The file %1 cannot be opened</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ﾌｫｰﾑを表示</source>
        <translation>Show Window</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞ %1 が見つかりません</source>
        <translation>The folder %1 is not there</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞ %1 が見つかりません
ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　%2 を使用します</source>
        <translation>The folder %1 is not there
The user data folder is %2</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞ %1 に書き込めません
ﾕｰｻﾞｰﾃﾞｰﾀｰﾌｫﾙﾀﾞは　%2 を使用します</source>
        <translation>The folder %1 cannot be written to
The user data folder is %2</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞが見つかりません</source>
        <translation>The folder is not there</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞの指定</source>
        <translation>Choose a Folder</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞを空にする</source>
        <translation>Empty the Folder</translation>
    </message>
    <message>
        <source>ﾌﾟﾚﾌｨｯｸｽ</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟが見つかりません。%1</source>
        <translation>The user's guide is not there. %1</translation>
    </message>
    <message>
        <source>ﾏｳｽﾎﾟｲﾝﾀ</source>
        <translation>Mouse Pointer</translation>
    </message>
    <message>
        <source>ﾏｸﾛ(&amp;M)</source>
        <translation>&amp;Macro</translation>
    </message>
    <message>
        <source>ﾓｻﾞｲｸ</source>
        <translation>Mosaic</translation>
    </message>
    <message>
        <source>ﾘｻｲｽﾞ</source>
        <translation>Resize</translation>
    </message>
    <message>
        <source>文字の読み取り</source>
        <translation>Read Text</translation>
    </message>
    <message>
        <source>画像をつなぐ</source>
        <translation>Join Pictures</translation>
    </message>
    <message>
        <source>読み取った文字をｸﾘｯﾌﾟﾎﾞｰﾄﾞにｺﾋﾟｰしました</source>
        <translation>The text read has been copied to the clipboard</translation>
    </message>
    <message>
        <source>つなぐ画像を作業ﾌｫﾙﾀﾞの一覧で2つ以上選んでください (Ctrl キーまたは Shift キーを押しながらクリック)</source>
        <translation>Select two or more pictures to join in the work folder list (click with Ctrl or Shift held)</translation>
    </message>
    <message>
        <source>読み取る画像がありません</source>
        <translation>There is no picture to read</translation>
    </message>
    <message>
        <source>文字は見つかりませんでした</source>
        <translation>No text was found</translation>
    </message>
    <message>
        <source>%1 を画像として読めません</source>
        <translation>%1 cannot be read as a picture</translation>
    </message>
    <message>
        <source>つないだ画像を作れません</source>
        <translation>The joined picture cannot be made</translation>
    </message>
    <message>
        <source>画像がありません</source>
        <translation>There is no picture</translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>tesseract が失敗しました (終了コード %1)
%2
日本語と英語のデータが必要です: sudo apt-get install tesseract-ocr-jpn tesseract-ocr-eng</source>
        <translation>tesseract failed (exit code %1)
%2
It needs its Japanese and English data: sudo apt-get install tesseract-ocr-jpn tesseract-ocr-eng</translation>
    </message>
    <message>
        <source>文字の読み取りが %1 秒で終わらないため中止しました</source>
        <translation>Reading the text was stopped: it did not finish within %1 seconds</translation>
    </message>
    <message>
        <source>文字の読み取りには tesseract が必要ですが、見つかりません。
次のコマンドで入れてください:
sudo apt-get install tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng</source>
        <translation>Reading text needs tesseract, which was not found.
Install it with:
sudo apt-get install tesseract-ocr tesseract-ocr-jpn tesseract-ocr-eng</translation>
    </message>
    <message>
        <source>つなぐ画像を2つ以上選んでください</source>
        <translation>Choose two or more pictures to join</translation>
    </message>
    <message>
        <source>%1番目と%2番目の画像は大きさが違うため、つなげません</source>
        <translation>Pictures %1 and %2 differ in size and cannot be joined</translation>
    </message>
    <message>
        <source>%1番目と%2番目の画像に重なる部分が見つからないため、つなげません</source>
        <translation>No overlap was found between pictures %1 and %2, so they cannot be joined</translation>
    </message>
    <message>
        <source>つないだ画像が長すぎます (%1 ピクセル、最大 %2)</source>
        <translation>The joined picture is too long (%1 pixels, at most %2)</translation>
    </message>
    <message>
        <source>つないだ画像のためのメモリーが足りません</source>
        <translation>There is not enough memory for the joined picture</translation>
    </message>
</context>
</TS>
