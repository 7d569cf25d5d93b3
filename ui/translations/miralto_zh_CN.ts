<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>Form1</name>
    <message>
        <source>longitude, degrees</source>
        <translation>经度，度</translation>
    </message>
    <message>
        <source>longitude</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>degrees</source>
        <translation>度</translation>
    </message>
    <message>
        <source>longitude, minutes</source>
        <translation>经度，分</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>longitude, seconds</source>
        <translation>经度，秒</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>latitude, degrees</source>
        <translation>纬度，度</translation>
    </message>
    <message>
        <source>latitude, minutes</source>
        <translation>纬度，分</translation>
    </message>
    <message>
        <source>latitude, seconds</source>
        <translation>纬度，秒</translation>
    </message>
    <message>
        <source>latitude</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>position code</source>
        <translation>Vemo 码</translation>
    </message>
    <message>
        <source>encode to the position code</source>
        <translation>转换为 Vemo 码</translation>
    </message>
    <message>
        <source>longitude, decimal degrees</source>
        <translation>经度，十进制度</translation>
    </message>
    <message>
        <source>latitude, decimal degrees</source>
        <translation>纬度，十进制度</translation>
    </message>
    <message>
        <source>decimal degrees to degrees, minutes and seconds</source>
        <translation>十进制度转换为度、分、秒</translation>
    </message>
    <message>
        <source>degrees, minutes and seconds to decimal degrees</source>
        <translation>度、分、秒转换为十进制度</translation>
    </message>
    <message>
        <source>decode the position code</source>
        <translation>由 Vemo 码转换回度、分、秒</translation>
    </message>
    <message>
        <source>reference position code</source>
        <translation>参照 Vemo 码</translation>
    </message>
    <message>
        <source>longitude difference</source>
        <translation>经度差值</translation>
    </message>
    <message>
        <source>latitude difference</source>
        <translation>纬度差值</translation>
    </message>
    <message>
        <source>compute the differences</source>
        <translation>计算差值</translation>
    </message>
    <message>
        <source>store the corrections</source>
        <translation>保存修正值</translation>
    </message>
    <message>
        <source>longitude correction</source>
        <translation>经度修正值</translation>
    </message>
    <message>
        <source>latitude correction</source>
        <translation>纬度修正值</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>conversion error</source>
        <translation>转换错误</translation>
    </message>
    <message>
        <source>overflow error</source>
        <translation>溢出错误</translation>
    </message>
    <message>
        <source>file error</source>
        <translation>文件错误</translation>
    </message>
    <message>
        <source>end of file</source>
        <translation>文件意外结束</translation>
    </message>
    <message>
        <source>out of reach</source>
        <translation>超出编码范围</translation>
    </message>
    <message>
        <source>invalid position code</source>
        <translation>无效的 Vemo 码</translation>
    </message>
    <message>
        <source>%1 is not a number (expected digits with an optional sign, one period and an exponent such as 1.5E-3)</source>
        <translation>%1不是数字（应为数字，可带正负号、一个小数点和指数，如 1.5E-3）</translation>
    </message>
    <message>
        <source>%1 could not be read as a number</source>
        <translation>无法把%1读作数字</translation>
    </message>
    <message>
        <source>the number %1 is beyond the range of a double (about %2)</source>
        <translation>数字%1超出双精度浮点数的范围（约 %2）</translation>
    </message>
    <message>
        <source>the number %1 is beyond the single-precision range (about %2)</source>
        <translation>数字%1超出单精度浮点数的范围（约 %2）</translation>
    </message>
    <message>
        <source>the value %1 is outside the integer range %2 to %3</source>
        <translation>数值 %1 超出整数范围 %2 至 %3</translation>
    </message>
    <message>
        <source>the result is %1, which no number text can show</source>
        <translation>结果为%1，无法写成数字</translation>
    </message>
    <message>
        <source>the number %1 is negative and has no digits</source>
        <translation>数 %1 是负数，无法写成编码数字</translation>
    </message>
    <message>
        <source>the digit text %1 is too long to have a value</source>
        <translation>数字串%1太长，无法求值</translation>
    </message>
    <message>
        <source>%1 %2 lies outside the reach of the code, %3 to %4</source>
        <translation>%1 %2 超出 Vemo 码的范围（%3 至 %4）</translation>
    </message>
    <message>
        <source>%1 %2 lies outside the reach of the code, %3 to %4 (with the correction %5)</source>
        <translation>%1 %2 超出 Vemo 码的范围（%3 至 %4，修正值为 %5）</translation>
    </message>
    <message>
        <source>the position code is empty</source>
        <translation>Vemo 码为空</translation>
    </message>
    <message>
        <source>character %1 at position %2 of the code %3: expected a zone digit 5, 6, 7 or 8</source>
        <translation>Vemo 码%3的第 %2 个字符%1无效：应为分区数字 5、6、7 或 8</translation>
    </message>
    <message>
        <source>character %1 at position %2 of the code %3: expected a digit of %4 (lowercase, no l, no o)</source>
        <translation>Vemo 码%3的第 %2 个字符%1无效：应为 %4 中的一个字符（小写，不含 l 和 o）</translation>
    </message>
    <message>
        <source>the code %1 has %2 characters; a position code has %3</source>
        <translation>Vemo 码%1有 %2 个字符；Vemo 码应为 %3 个字符</translation>
    </message>
    <message>
        <source>the %1 %2 has %3 characters; expected a position code of %4 (or %5 without the zone)</source>
        <translation>%1%2有 %3 个字符；应为 %4 个字符的 Vemo 码（不含分区数字时为 %5 个）</translation>
    </message>
    <message>
        <source>character %1 at position %2 of the %3 %4: expected a digit of %5 (lowercase, no l, no o)</source>
        <translation>%3%4的第 %2 个字符%1无效：应为 %5 中的一个字符（小写，不含 l 和 o）</translation>
    </message>
    <message>
        <source>cannot open the correction file %1: %2</source>
        <translation>无法打开修正值文件%1：%2</translation>
    </message>
    <message>
        <source>cannot read the correction file %1: %2</source>
        <translation>无法读取修正值文件%1：%2</translation>
    </message>
    <message>
        <source>cannot write the correction file %1: %2</source>
        <translation>无法写入修正值文件%1：%2</translation>
    </message>
    <message>
        <source>the correction file %1 ends after no line; it needs two: the longitude and the latitude correction</source>
        <translation>修正值文件%1是空的；它需要两行：经度修正值和纬度修正值</translation>
    </message>
    <message>
        <source>the correction file %1 ends after one line; it needs two: the longitude and the latitude correction</source>
        <translation>修正值文件%1只有一行；它需要两行：经度修正值和纬度修正值</translation>
    </message>
    <message>
        <source>the line is longer than %1 bytes, too long for a correction</source>
        <translation>该行超过%1字节，作为修正值太长</translation>
    </message>
    <message>
        <source>the text %1 holds a line break, which the correction file cannot keep in its line</source>
        <translation>文本%1含有换行符，修正值文件无法把它保存在一行中</translation>
    </message>
    <message>
        <source>the text %1 is longer than %2 bytes, more than the correction file reads back</source>
        <translation>文本%1超过%2字节，超出修正值文件能读回的长度</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>line %1 of %2 (%3)</source>
        <translation>%2第 %1 行（%3）</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1... (%2 characters)</source>
        <translation>%1……（共 %2 个字符）</translation>
    </message>
    <message>
        <source>not a number</source>
        <translation>非数值</translation>
    </message>
    <message>
        <source>infinity</source>
        <translation>无穷大</translation>
    </message>
    <message>
        <source>minus infinity</source>
        <translation>负无穷大</translation>
    </message>
    <message>
        <source>longitude</source>
        <translation>经度</translation>
    </message>
    <message>
        <source>latitude</source>
        <translation>纬度</translation>
    </message>
    <message>
        <source>degrees</source>
        <translation>度</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>code</source>
        <translation>Vemo 码</translation>
    </message>
    <message>
        <source>reference</source>
        <translation>参照 Vemo 码</translation>
    </message>
    <message>
        <source>longitude correction</source>
        <translation>经度修正值</translation>
    </message>
    <message>
        <source>latitude correction</source>
        <translation>纬度修正值</translation>
    </message>
    <message>
        <source>cannot create the folder %1 for the correction file: %2</source>
        <translation>无法创建存放修正值文件的文件夹%1：%2</translation>
    </message>
    <message>
        <source>it is not an ordinary file</source>
        <translation>它不是普通文件</translation>
    </message>
    <message>
        <source>the browser keeps nothing for this page (a private window, or its storage is turned off or full)</source>
        <translation>浏览器不为本页保存任何内容（隐私窗口，或其存储已关闭或已满）</translation>
    </message>
    <message>
        <source>%1 is empty</source>
        <translation>%1为空</translation>
    </message>
    <message>
        <source>%1 is not a decimal number or a degrees/minutes/seconds notation (such as 113.288959, 113°17′20.24″, 113:17:20.24 or 23.236255N)</source>
        <translation>%1既不是十进制数，也不是度/分/秒写法（如 113.288959、113°17′20.24″、113:17:20.24 或 23.236255N）</translation>
    </message>
    <message>
        <source>%1 has two hemisphere letters; write one</source>
        <translation>%1有两个半球字母；只能写一个</translation>
    </message>
    <message>
        <source>%1 has both a minus sign and the hemisphere %2; write one of them</source>
        <translation>%1同时有负号和半球字母 %2；只能写其中一个</translation>
    </message>
    <message>
        <source>%1 has its parts out of order; write degrees, minutes, seconds</source>
        <translation>%1的各部分顺序不对；应按度、分、秒的顺序书写</translation>
    </message>
    <message>
        <source>%1 has %2 of 60 or more; minutes and seconds run from 0 to below 60</source>
        <translation>%1的%2为 60 或更大；分和秒应不小于 0 且小于 60</translation>
    </message>
    <message>
        <source>%1 has a fraction in its %2 although smaller parts follow</source>
        <translation>%1的%2带有小数，但后面还有更小的部分</translation>
    </message>
    <message>
        <source>%1 and %2 are both latitudes; a record holds one longitude and one latitude</source>
        <translation>%1和%2都是纬度；一条记录应包含一个经度和一个纬度</translation>
    </message>
    <message>
        <source>%1 and %2 are both longitudes; a record holds one longitude and one latitude</source>
        <translation>%1和%2都是经度；一条记录应包含一个经度和一个纬度</translation>
    </message>
    <message>
        <source>the point %1, %2 lies outside longitudes -180 to 180 and latitudes -90 to 90, where a map cannot show it</source>
        <translation>点 %1, %2 超出经度 -180 至 180、纬度 -90 至 90 的范围，无法在地图上显示</translation>
    </message>
    <message>
        <source>wrong number of fields: expected %1, found %2</source>
        <translation>字段数目不对：应为 %1，实际为 %2</translation>
    </message>
    <message>
        <source>the feature has no geometry</source>
        <translation>该要素没有几何对象</translation>
    </message>
    <message>
        <source>the geometry is without a type, not a Point</source>
        <translation>该几何对象没有类型，不是 Point</translation>
    </message>
    <message>
        <source>the geometry is a %1, not a Point</source>
        <translation>该几何对象是 %1，不是 Point</translation>
    </message>
    <message>
        <source>the Point has no coordinates [longitude, latitude]</source>
        <translation>该 Point 没有坐标 [经度, 纬度]</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>内存不足</translation>
    </message>
    <message>
        <source>the operation needs more memory than is free</source>
        <translation>此操作需要的内存超过了可用内存</translation>
    </message>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>%1:
%2</source>
        <translation>%1：
%2</translation>
    </message>
</context>
</TS>
