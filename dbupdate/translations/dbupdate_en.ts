<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>UpdateProfile</name>
    <message>
        <source>梯度1</source>
        <translation>Gradient 1</translation>
    </message>
    <message>
        <source>梯度2</source>
        <translation>Gradient 2</translation>
    </message>
    <message>
        <source>梯度3</source>
        <translation>Gradient 3</translation>
    </message>
    <message>
        <source>梯度4</source>
        <translation>Gradient 4</translation>
    </message>
    <message>
        <source>样本类型</source>
        <translation>Sample type</translation>
    </message>
    <message>
        <source>初始量[ul]</source>
        <translation>Initial volume [ul]</translation>
    </message>
    <message>
        <source>报警限[ul]</source>
        <translation>Alarm limit [ul]</translation>
    </message>
    <message>
        <source>中断限[ul]</source>
        <translation>Interrupt limit [ul]</translation>
    </message>
    <message>
        <source>住院号</source>
        <translation>Inpatient no.</translation>
    </message>
</context>
</TS>
