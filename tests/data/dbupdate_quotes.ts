<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="zh_CN">
<context>
    <name>UpdateProfile</name>
    <message>
        <source>梯度1</source>
        <translation>Dilution 'A'</translation>
    </message>
    <message>
        <source>样本类型</source>
        <translation>Sample's type</translation>
    </message>
    <message>
        <source>住院号</source>
        <translation>Patient's ward no.</translation>
    </message>
</context>
</TS>
