<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Profile</name>
    <message>
        <source>M</source>
        <translation>MAN</translation>
    </message>
    <message>
        <source>!</source>
        <translation>D</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>LOW</translation>
    </message>
    <message>
        <source>↑</source>
        <translation>HIGH</translation>
    </message>
    <message>
        <source>不凝</source>
        <translation>not clotted</translation>
    </message>
    <message>
        <source>---.-</source>
        <translation>n/a</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>无效的值</source>
        <translation>invalid value</translation>
    </message>
    <message>
        <source>结果为空</source>
        <translation>no result</translation>
    </message>
</context>
</TS>
