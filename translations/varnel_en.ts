<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>varnel::DrawToolBar</name>
    <message>
        <source>四角形</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>楕円</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>矢印</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>ﾌﾘｰﾊﾝﾄﾞ</source>
        <translation>Freehand</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>ｽﾀﾝﾌﾟ</source>
        <translation>Stamp</translation>
    </message>
    <message>
        <source>色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>線の太さ</source>
        <translation>Line width</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>蛍光ﾍﾟﾝ</source>
        <translation>Highlighter</translation>
    </message>
    <message>
        <source>番号</source>
        <translation>Step number</translation>
    </message>
    <message>
        <source>塗りつぶし(隠す)</source>
        <translation>Fill (hide)</translation>
    </message>
    <message>
        <source>小</source>
        <translation>S</translation>
    </message>
    <message>
        <source>中</source>
        <translation>M</translation>
    </message>
    <message>
        <source>大</source>
        <translation>L</translation>
    </message>
    <message>
        <source>文字の大きさ(小・中・大、または数字)</source>
        <translation>Text size (S, M, L or a number)</translation>
    </message>
    <message>
        <source>太字</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>白地</source>
        <translation>White</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>縁取</source>
        <translation>Outline</translation>
    </message>
    <message>
        <source>文字の背景(なし・白地・反転色の地・縁取り)</source>
        <translation>Behind the text (none, white, inverted colour, outline)</translation>
    </message>
    <message>
        <source>次の番号(ｸﾘｯｸで1に戻す)</source>
        <translation>Next number (a click starts again at 1)</translation>
    </message>
    <message>
        <source>振直し</source>
        <translation>Renumber</translation>
    </message>
    <message>
        <source>番号を振り直す</source>
        <translation>Number the markers again</translation>
    </message>
    <message>
        <source>ﾓｻﾞｲｸの大きさ</source>
        <translation>Mosaic block size</translation>
    </message>
    <message>
        <source>次:%1</source>
        <translation>Next: %1</translation>
    </message>
</context>
<context>
    <name>varnel::sbKkn</name>
    <message>
        <source>ﾌｫﾙﾀﾞの指定</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>ﾌﾟﾚﾌｨｯｸｽ</source>
        <translation>Prefix</translation>
    </message>
    <message>
        <source>画像形式</source>
        <translation>Format</translation>
    </message>
</context>
<context>
    <name>varnel::sbMcr</name>
    <message>
        <source>マクロコマンドの編集</source>
        <translation>Edit Macro Commands</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ</source>
        <translation>File</translation>
    </message>
    <message>
        <source>編集取り消</source>
        <translation>Undo All Edits</translation>
    </message>
    <message>
        <source>更新して閉じる</source>
        <translation>Update and Close</translation>
    </message>
    <message>
        <source>更新しないで閉じる</source>
        <translation>Close without Updating</translation>
    </message>
    <message>
        <source>1行に1つ「ｷｰﾜｰﾄﾞ⇒見出し」。見出しは、英語の表示でも日本語で記録し、日本語で照合します。</source>
        <translation>One &quot;keyword⇒caption&quot; a line. Captions are recorded and matched in Japanese, also while the window shows English.</translation>
    </message>
</context>
<context>
    <name>varnel::spSize</name>
    <message>
        <source>選択･切取ｻｲｽﾞの登録</source>
        <translation>Register Selection and Cut Sizes</translation>
    </message>
    <message>
        <source>↑</source>
        <translation>↑</translation>
    </message>
    <message>
        <source>↓</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>←修正</source>
        <translation>← Change</translation>
    </message>
    <message>
        <source>←追加</source>
        <translation>← Add</translation>
    </message>
    <message>
        <source>既存の登録名が存在すれば､上書きとなります</source>
        <translation>A range of the same name is replaced</translation>
    </message>
    <message>
        <source>画像ｻｲｽﾞをﾋﾟｸｾﾙで指定する</source>
        <translation>Picture size in pixels</translation>
    </message>
    <message>
        <source>印刷ｻｲｽﾞをｾﾝﾁで指定する</source>
        <translation>Print size in centimetres</translation>
    </message>
    <message>
        <source>縦横入替</source>
        <translation>Swap width and height</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
