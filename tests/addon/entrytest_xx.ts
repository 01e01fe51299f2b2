<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="xx">
<context>
    <name>KTavroEntryTest</name>
    <message>
        <source>Export to Picture</source>
        <translation>Xport xo Xicture</translation>
    </message>
</context>
</TS>
