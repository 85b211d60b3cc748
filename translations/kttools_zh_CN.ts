<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>Messages</name>
    <message>
        <source>KT350 KT460 Tools V0505</source>
        <translation>KT350 KT460 工具程式 V0505</translation>
    </message>
    <message>
        <source>Open communication port error!</source>
        <translation>开启连接阜错误!</translation>
    </message>
    <message>
        <source>Start connect device</source>
        <translation>连线装置</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>档案(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>设定(&amp;S)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>结束(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;Simplified chinese(简体)</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>NET</source>
        <translation>网路</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>速率:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>连接阜:</translation>
    </message>
    <message>
        <source>Test card</source>
        <translation>测试卡片</translation>
    </message>
    <message>
        <source>&amp;Firmware file</source>
        <translation>韧体档案(&amp;F)</translation>
    </message>
    <message>
        <source>Connect device</source>
        <translation>连线装置</translation>
    </message>
    <message>
        <source>Connecting device ...</source>
        <translation>连线装置中 ...</translation>
    </message>
    <message>
        <source>Connect device error!</source>
        <translation>连线装置错误!</translation>
    </message>
    <message>
        <source>Connect device ok.</source>
        <translation>连线装置完成.</translation>
    </message>
    <message>
        <source>Command ok.</source>
        <translation>指令完成.</translation>
    </message>
    <message>
        <source>Command error!</source>
        <translation>指令错误!</translation>
    </message>
    <message>
        <source>Basic test</source>
        <translation>基本测试</translation>
    </message>
    <message>
        <source>Function test</source>
        <translation>功能测试</translation>
    </message>
    <message>
        <source>Command test</source>
        <translation>指令测试</translation>
    </message>
    <message>
        <source>Firmware upgrade</source>
        <translation>韧体更新</translation>
    </message>
    <message>
        <source>Cancel test</source>
        <translation>取消测试</translation>
    </message>
    <message>
        <source>DIDO test</source>
        <translation>接点测试</translation>
    </message>
    <message>
        <source>Pooling data test</source>
        <translation>读取资料测试</translation>
    </message>
    <message>
        <source>Set factory</source>
        <translation>设定出厂值</translation>
    </message>
    <message>
        <source>Set reboot</source>
        <translation>设定重新开机</translation>
    </message>
    <message>
        <source>Set date and time</source>
        <translation>设定日期时间</translation>
    </message>
    <message>
        <source>Alarm test</source>
        <translation>警报测试</translation>
    </message>
    <message>
        <source>Set baudrate 115200,n,8,1</source>
        <translation>设定鲍率 115200,n,8,1</translation>
    </message>
    <message>
        <source>Set baudrate 19200,e,8,1</source>
        <translation>设定鲍率 19200,e,8,1</translation>
    </message>
    <message>
        <source>Controller command test</source>
        <translation>控制器指令测试</translation>
    </message>
    <message>
        <source>Module command test</source>
        <translation>模组指令测试</translation>
    </message>
    <message>
        <source>Send command:</source>
        <translation>传送指令:</translation>
    </message>
    <message>
        <source>Receive data:</source>
        <translation>接收资料:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>类别:</translation>
    </message>
    <message>
        <source>Controller</source>
        <translation>控制器</translation>
    </message>
    <message>
        <source>Set Controller</source>
        <translation>设定控制器</translation>
    </message>
    <message>
        <source>Get S/N or ID</source>
        <translation>读取序号或ID</translation>
    </message>
    <message>
        <source>Set ID by S/N</source>
        <translation>依序号设定ID</translation>
    </message>
    <message>
        <source>Set ID:</source>
        <translation>设定ID:</translation>
    </message>
    <message>
        <source>V7 Module</source>
        <translation>V7 模组</translation>
    </message>
    <message>
        <source>Set Reader/DIDO</source>
        <translation>设定读卡机DIDO</translation>
    </message>
    <message>
        <source>Set Card Type by ID</source>
        <translation>依ID设定卡片类别</translation>
    </message>
    <message>
        <source>Set Card Type</source>
        <translation>设定卡片类别</translation>
    </message>
    <message>
        <source>Get Card Type</source>
        <translation>读取卡片类别</translation>
    </message>
    <message>
        <source>V5 Module</source>
        <translation>V5 模组</translation>
    </message>
    <message>
        <source>Receive Data:</source>
        <translation>接收资料:</translation>
    </message>
    <message>
        <source>Firmware load</source>
        <translation>载入韧体</translation>
    </message>
    <message>
        <source>Programming ...</source>
        <translation>烧录中 ...</translation>
    </message>
    <message>
        <source>Verifying ...</source>
        <translation>验证中 ...</translation>
    </message>
    <message>
        <source>Upgrading ...</source>
        <translation>更新中 ...</translation>
    </message>
    <message>
        <source>Load firmware file error!</source>
        <translation>载入韧体档案错误!</translation>
    </message>
    <message>
        <source>Firmware file format model error!</source>
        <translation>韧体档案格式机型错误!</translation>
    </message>
    <message>
        <source>Note !</source>
        <translation>注意 !</translation>
    </message>
    <message>
        <source>Upgrading the firmware of the Product will lost some data on the Product. To ensure data security, it is recommended that you back up your data before update.</source>
        <translation>注意：更新产品韧体会影响产品上的部分资料，为确保资料安全，建议您在更新韧体前先备份您的资料。</translation>
    </message>
    <message>
        <source>This tool support: KT350/KT460 serial controller .</source>
        <translation>本软体支援: KT350/KT460 系列控制器。</translation>
    </message>
    <message>
        <source>Find line &amp;speed</source>
        <translation>寻找连线速率(&amp;S)</translation>
    </message>
    <message>
        <source>Finding line speed ...</source>
        <translation>寻找连线速率中 ...</translation>
    </message>
    <message>
        <source>Module &amp;survey</source>
        <translation>扫描模组(&amp;S)</translation>
    </message>
    <message>
        <source>Set the converter&apos;s line (RFC 2217)</source>
        <translation>设定转换器连线 (RFC 2217)</translation>
    </message>
    <message>
        <source>Set factory erases the controller&apos;s cards and settings. Go on?</source>
        <translation>设定出厂值会清除控制器的卡片与设定. 要继续吗?</translation>
    </message>
    <message>
        <source>The firmware upgrade rewrites the controller&apos;s program. Go on?</source>
        <translation>韧体更新会改写控制器的程式. 要继续吗?</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Traffic monitor</source>
        <translation>通讯监视(&amp;T)</translation>
    </message>
    <message>
        <source>No answer since %1</source>
        <translation>自 %1 起无回应</translation>
    </message>
    <message>
        <source>%1: no such port</source>
        <translation>%1: 连接阜不存在</translation>
    </message>
    <message>
        <source>%1: permission denied; add your account to the %2 group</source>
        <translation>%1: 没有权限; 请将您的帐号加入 %2 群组</translation>
    </message>
    <message>
        <source>%1: permission denied; log in again to use the %2 group</source>
        <translation>%1: 没有权限; 请重新登入以使用 %2 群组</translation>
    </message>
    <message>
        <source>%1: permission denied; ask your administrator</source>
        <translation>%1: 没有权限; 请洽系统管理员</translation>
    </message>
    <message>
        <source>%1: in use by another program</source>
        <translation>%1: 已被其他程式使用</translation>
    </message>
    <message>
        <source>%1: connection refused</source>
        <translation>%1: 连线被拒绝</translation>
    </message>
    <message>
        <source>%1: unreachable or timed out</source>
        <translation>%1: 无法连线或逾时</translation>
    </message>
    <message>
        <source>%1: the converter does not take line settings (RFC 2217)</source>
        <translation>%1: 转换器不接受通讯设定 (RFC 2217)</translation>
    </message>
    <message>
        <source>%1: the converter refused the line settings</source>
        <translation>%1: 转换器拒绝此通讯设定</translation>
    </message>
    <message>
        <source>%1: connection lost</source>
        <translation>%1: 连线中断</translation>
    </message>
    <message>
        <source>no answer from the device</source>
        <translation>装置没有回应</translation>
    </message>
    <message>
        <source>bad checksum in the reply</source>
        <translation>回应资料检查码错误</translation>
    </message>
    <message>
        <source>the command cannot be sent</source>
        <translation>指令无法送出</translation>
    </message>
    <message>
        <source>%1: port not open</source>
        <translation>%1: 连接阜未开启</translation>
    </message>
    <message>
        <source>(no access)</source>
        <translation>(没有权限)</translation>
    </message>
</context>
<context>
    <name>kt::ModuleSurveyWindow</name>
    <message>
        <source>Module survey</source>
        <translation>扫描模组</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>种类</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类别</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>储存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Asking the modules ...</source>
        <translation>询问模组中 ...</translation>
    </message>
    <message>
        <source>Modules found: %1</source>
        <translation>找到模组: %1</translation>
    </message>
    <message>
        <source>Survey cancelled; modules found: %1</source>
        <translation>扫描已取消; 找到模组: %1</translation>
    </message>
    <message>
        <source>Survey stopped, the port was lost; modules found: %1</source>
        <translation>扫描中断, 连接阜已中断; 找到模组: %1</translation>
    </message>
    <message>
        <source>Save error!</source>
        <translation>储存错误!</translation>
    </message>
</context>
<context>
    <name>kt::TrafficLog</name>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Frame</source>
        <translation>格式</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>资料</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Reply ms</source>
        <translation>回应 ms</translation>
    </message>
    <message>
        <source>Sent</source>
        <translation>送出</translation>
    </message>
    <message>
        <source>Received</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>check good</source>
        <translation>检查正确</translation>
    </message>
    <message>
        <source>check bad</source>
        <translation>检查错误</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>不完整</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>逾时</translation>
    </message>
    <message>
        <source>refused before sending</source>
        <translation>拒绝送出</translation>
    </message>
    <message>
        <source>paused: %1 frames not shown</source>
        <translation>暂停: %1 笔资料未显示</translation>
    </message>
</context>
<context>
    <name>kt::TrafficMonitor</name>
    <message>
        <source>Traffic monitor</source>
        <translation>通讯监视</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>储存</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>文字档 (*.txt)</translation>
    </message>
</context>
</TS>
