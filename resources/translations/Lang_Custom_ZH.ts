<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Save Logfile</source>
        <translation>保存日志文件</translation>
    </message>
    <message>
        <source>Logfile (*.log)</source>
        <translation>日志文件 (*.log)</translation>
    </message>
</context>
</TS>
