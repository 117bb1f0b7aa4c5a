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
