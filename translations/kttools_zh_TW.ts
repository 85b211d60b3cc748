<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="en">
<context>
    <name>Messages</name>
    <message>
        <source>KT350 KT460 Tools V0505</source>
        <translation>KT350 KT460 工具程式 V0505</translation>
    </message>
    <message>
        <source>Open communication port error!</source>
        <translation>開啟連接阜錯誤!</translation>
    </message>
    <message>
        <source>Start connect device</source>
        <translation>連線裝置</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>語言(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>檔案(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>設定(&amp;S)</translation>
    </message>
    <message>
        <source>About</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>關於(&amp;A)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>結束(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;Traditional chinese(繁體)</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>NET</source>
        <translation>網路</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>速率:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>連接阜:</translation>
    </message>
    <message>
        <source>Test card</source>
        <translation>測試卡片</translation>
    </message>
    <message>
        <source>&amp;Firmware file</source>
        <translation>韌體檔案(&amp;F)</translation>
    </message>
    <message>
        <source>Connect device</source>
        <translation>連線裝置</translation>
    </message>
    <message>
        <source>Connecting device ...</source>
        <translation>連線裝置中 ...</translation>
    </message>
    <message>
        <source>Connect device error!</source>
        <translation>連線裝置錯誤!</translation>
    </message>
    <message>
        <source>Connect device ok.</source>
        <translation>連線裝置完成.</translation>
    </message>
    <message>
        <source>Command ok.</source>
        <translation>指令完成.</translation>
    </message>
    <message>
        <source>Command error!</source>
        <translation>指令錯誤!</translation>
    </message>
    <message>
        <source>Basic test</source>
        <translation>基本測試</translation>
    </message>
    <message>
        <source>Function test</source>
        <translation>功能測試</translation>
    </message>
    <message>
        <source>Command test</source>
        <translation>指令測試</translation>
    </message>
    <message>
        <source>Firmware upgrade</source>
        <translation>韌體更新</translation>
    </message>
    <message>
        <source>Cancel test</source>
        <translation>取消測試</translation>
    </message>
    <message>
        <source>DIDO test</source>
        <translation>接點測試</translation>
    </message>
    <message>
        <source>Pooling data test</source>
        <translation>讀取資料測試</translation>
    </message>
    <message>
        <source>Set factory</source>
        <translation>設定出廠值</translation>
    </message>
    <message>
        <source>Set reboot</source>
        <translation>設定重新開機</translation>
    </message>
    <message>
        <source>Set date and time</source>
        <translation>設定日期時間</translation>
    </message>
    <message>
        <source>Alarm test</source>
        <translation>警報測試</translation>
    </message>
    <message>
        <source>Set baudrate 115200,n,8,1</source>
        <translation>設定鮑率 115200,n,8,1</translation>
    </message>
    <message>
        <source>Set baudrate 19200,e,8,1</source>
        <translation>設定鮑率 19200,e,8,1</translation>
    </message>
    <message>
        <source>Controller command test</source>
        <translation>控制器指令測試</translation>
    </message>
    <message>
        <source>Module command test</source>
        <translation>模組指令測試</translation>
    </message>
    <message>
        <source>Send command:</source>
        <translation>傳送指令:</translation>
    </message>
    <message>
        <source>Receive data:</source>
        <translation>接收資料:</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>類別:</translation>
    </message>
    <message>
        <source>Controller</source>
        <translation>控制器</translation>
    </message>
    <message>
        <source>Set Controller</source>
        <translation>設定控制器</translation>
    </message>
    <message>
        <source>Get S/N or ID</source>
        <translation>讀取序號或ID</translation>
    </message>
    <message>
        <source>Set ID by S/N</source>
        <translation>依序號設定ID</translation>
    </message>
    <message>
        <source>Set ID:</source>
        <translation>設定ID:</translation>
    </message>
    <message>
        <source>V7 Module</source>
        <translation>V7 模組</translation>
    </message>
    <message>
        <source>Set Reader/DIDO</source>
        <translation>設定讀卡機DIDO</translation>
    </message>
    <message>
        <source>Set Card Type by ID</source>
        <translation>依ID設定卡片類別</translation>
    </message>
    <message>
        <source>Set Card Type</source>
        <translation>設定卡片類別</translation>
    </message>
    <message>
        <source>Get Card Type</source>
        <translation>讀取卡片類別</translation>
    </message>
    <message>
        <source>V5 Module</source>
        <translation>V5 模組</translation>
    </message>
    <message>
        <source>Receive Data:</source>
        <translation>接收資料:</translation>
    </message>
    <message>
        <source>Firmware load</source>
        <translation>載入韌體</translation>
    </message>
    <message>
        <source>Programming ...</source>
        <translation>燒錄中 ...</translation>
    </message>
    <message>
        <source>Verifying ...</source>
        <translation>驗證中 ...</translation>
    </message>
    <message>
        <source>Upgrading ...</source>
        <translation>更新中 ...</translation>
    </message>
    <message>
        <source>Load firmware file error!</source>
        <translation>載入韌體檔案錯誤!</translation>
    </message>
    <message>
        <source>Firmware file format model error!</source>
        <translation>韌體檔案格式機型錯誤!</translation>
    </message>
    <message>
        <source>Note !</source>
        <translation>注意 !</translation>
    </message>
    <message>
        <source>Upgrading the firmware of the Product will lost some data on the Product. To ensure data security, it is recommended that you back up your data before update.</source>
        <translation>注意：更新產品韌體會影響產品上的部分資料，為確保資料安全，建議您在更新韌體前先備份您的資料。</translation>
    </message>
    <message>
        <source>This tool support: KT350/KT460 serial controller .</source>
        <translation>本軟體支援: KT350/KT460 系列控制器。</translation>
    </message>
    <message>
        <source>Find line &amp;speed</source>
        <translation>尋找連線速率(&amp;S)</translation>
    </message>
    <message>
        <source>Finding line speed ...</source>
        <translation>尋找連線速率中 ...</translation>
    </message>
    <message>
        <source>Module &amp;survey</source>
        <translation>掃描模組(&amp;S)</translation>
    </message>
    <message>
        <source>Set the converter&apos;s line (RFC 2217)</source>
        <translation>設定轉換器連線 (RFC 2217)</translation>
    </message>
    <message>
        <source>Set factory erases the controller&apos;s cards and settings. Go on?</source>
        <translation>設定出廠值會清除控制器的卡片與設定. 要繼續嗎?</translation>
    </message>
    <message>
        <source>The firmware upgrade rewrites the controller&apos;s program. Go on?</source>
        <translation>韌體更新會改寫控制器的程式. 要繼續嗎?</translation>
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
        <translation>通訊監視(&amp;T)</translation>
    </message>
    <message>
        <source>No answer since %1</source>
        <translation>自 %1 起無回應</translation>
    </message>
    <message>
        <source>%1: no such port</source>
        <translation>%1: 連接阜不存在</translation>
    </message>
    <message>
        <source>%1: permission denied; add your account to the %2 group</source>
        <translation>%1: 沒有權限; 請將您的帳號加入 %2 群組</translation>
    </message>
    <message>
        <source>%1: permission denied; log in again to use the %2 group</source>
        <translation>%1: 沒有權限; 請重新登入以使用 %2 群組</translation>
    </message>
    <message>
        <source>%1: permission denied; ask your administrator</source>
        <translation>%1: 沒有權限; 請洽系統管理員</translation>
    </message>
    <message>
        <source>%1: in use by another program</source>
        <translation>%1: 已被其他程式使用</translation>
    </message>
    <message>
        <source>%1: connection refused</source>
        <translation>%1: 連線被拒絕</translation>
    </message>
    <message>
        <source>%1: unreachable or timed out</source>
        <translation>%1: 無法連線或逾時</translation>
    </message>
    <message>
        <source>%1: the converter does not take line settings (RFC 2217)</source>
        <translation>%1: 轉換器不接受通訊設定 (RFC 2217)</translation>
    </message>
    <message>
        <source>%1: the converter refused the line settings</source>
        <translation>%1: 轉換器拒絕此通訊設定</translation>
    </message>
    <message>
        <source>%1: connection lost</source>
        <translation>%1: 連線中斷</translation>
    </message>
    <message>
        <source>no answer from the device</source>
        <translation>裝置沒有回應</translation>
    </message>
    <message>
        <source>bad checksum in the reply</source>
        <translation>回應資料檢查碼錯誤</translation>
    </message>
    <message>
        <source>the command cannot be sent</source>
        <translation>指令無法送出</translation>
    </message>
    <message>
        <source>%1: port not open</source>
        <translation>%1: 連接阜未開啟</translation>
    </message>
    <message>
        <source>(no access)</source>
        <translation>(沒有權限)</translation>
    </message>
</context>
<context>
    <name>kt::ModuleSurveyWindow</name>
    <message>
        <source>Module survey</source>
        <translation>掃描模組</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>種類</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>類別</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Asking the modules ...</source>
        <translation>詢問模組中 ...</translation>
    </message>
    <message>
        <source>Modules found: %1</source>
        <translation>找到模組: %1</translation>
    </message>
    <message>
        <source>Survey cancelled; modules found: %1</source>
        <translation>掃描已取消; 找到模組: %1</translation>
    </message>
    <message>
        <source>Survey stopped, the port was lost; modules found: %1</source>
        <translation>掃描中斷, 連接阜已中斷; 找到模組: %1</translation>
    </message>
    <message>
        <source>Save error!</source>
        <translation>儲存錯誤!</translation>
    </message>
</context>
<context>
    <name>kt::TrafficLog</name>
    <message>
        <source>Time</source>
        <translation>時間</translation>
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
        <translation>資料</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長度</translation>
    </message>
    <message>
        <source>Verdict</source>
        <translation>結果</translation>
    </message>
    <message>
        <source>Reply ms</source>
        <translation>回應 ms</translation>
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
        <translation>檢查正確</translation>
    </message>
    <message>
        <source>check bad</source>
        <translation>檢查錯誤</translation>
    </message>
    <message>
        <source>incomplete</source>
        <translation>不完整</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>逾時</translation>
    </message>
    <message>
        <source>refused before sending</source>
        <translation>拒絕送出</translation>
    </message>
    <message>
        <source>paused: %1 frames not shown</source>
        <translation>暫停: %1 筆資料未顯示</translation>
    </message>
</context>
<context>
    <name>kt::TrafficMonitor</name>
    <message>
        <source>Traffic monitor</source>
        <translation>通訊監視</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暫停</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>繼續</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>文字檔 (*.txt)</translation>
    </message>
</context>
</TS>
