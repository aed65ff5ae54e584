<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A catalogue with faults, for the tests: a piece renumbered, a piece
     added to a plural form, a text left untranslated (empty); and a
     singular form that leaves out its count, which is no fault. -->
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Engine</name>
    <message>
        <source>分拣中断：%1</source>
        <translation>Sorting interrupted: %2</translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个文件未能分拣：</source>
        <translation>
            <numerusform>One file could not be sorted:</numerusform>
            <numerusform>%1 files could not be sorted:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>有 %1 个被覆盖的文件不能恢复。</source>
        <translation>
            <numerusform>%1 replaced file cannot be restored.</numerusform>
            <numerusform>%1 replaced files cannot be restored from %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>没有权限</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
