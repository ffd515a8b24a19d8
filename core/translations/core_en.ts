<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Profile</name>
    <message>
        <source>无法打开数据库文件 %1</source>
        <translation>Cannot open the database file %1</translation>
    </message>
    <message>
        <source>错误的数据库文件 %1</source>
        <translation>Invalid database file %1</translation>
    </message>
    <message>
        <source>无法加载配置文件 %1
%2</source>
        <translation>Cannot load the settings file %1
%2</translation>
    </message>
    <message>
        <source>错误的配置文件 %1</source>
        <translation>Invalid settings file %1</translation>
    </message>
    <message>
        <source>M</source>
        <translation>M</translation>
    </message>
    <message>
        <source>!</source>
        <translation>!</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>↓</source>
        <translation>L</translation>
    </message>
    <message>
        <source>↑</source>
        <translation>H</translation>
    </message>
    <message>
        <source>不凝</source>
        <translation>Not clotted</translation>
    </message>
    <message>
        <source>---.-</source>
        <translation>---.-</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>无效的值</source>
        <translation>Invalid value</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>结果为空</source>
        <translation>No result</translation>
    </message>
    <message>
        <source>无标准曲线</source>
        <translation>No standard curve</translation>
    </message>
    <message>
        <source>标准曲线无效</source>
        <translation>Invalid standard curve</translation>
    </message>
    <message>
        <source>标准曲线设置错误</source>
        <translation>Standard curve set up incorrectly</translation>
    </message>
    <message>
        <source>无效的计算方法</source>
        <translation>Invalid calculation method</translation>
    </message>
    <message>
        <source>计算所需的参数不存在</source>
        <translation>A parameter the calculation needs is missing</translation>
    </message>
</context>
</TS>
