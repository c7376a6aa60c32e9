<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Manual</name>
    <message>
        <source>lumidot.html</source>
        <extracomment>The file name of the manual&apos;s edition in this language.</extracomment>
        <translation>lumidot_en.html</translation>
    </message>
</context>
<context>
    <name>lumidot::TFConfig</name>
    <message>
        <source>表示言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>システムの言語</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>次回の起動から切り替わります。</source>
        <translation>Takes effect the next time Lumidot starts.</translation>
    </message>
</context>
</TS>
