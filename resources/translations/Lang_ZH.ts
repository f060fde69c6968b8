<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ChangeConvertWidget</name>
    <message>
        <source>Speaker:</source>
        <translation>发音人：</translation>
    </message>
    <message>
        <source>arvo-pellimor</source>
        <translation>阿沃-佩利莫</translation>
    </message>
    <message>
        <source>lumo</source>
        <translation>露莫</translation>
    </message>
    <message>
        <source>taviel</source>
        <translation>塔薇尔</translation>
    </message>
    <message>
        <source>orsinda</source>
        <translation>奥辛达</translation>
    </message>
    <message>
        <source>The voice the speech is given.</source>
        <translation>赋予这段语音的声音。</translation>
    </message>
</context>
<context>
    <name>FormatConvertWidget</name>
    <message>
        <source>Convert Format:</source>
        <translation>输出格式：</translation>
    </message>
    <message>
        <source>MP3</source>
        <translation>MP3</translation>
    </message>
    <message>
        <source>AAC</source>
        <translation>AAC</translation>
    </message>
    <message>
        <source>FLAC</source>
        <translation>FLAC</translation>
    </message>
    <message>
        <source>WAV</source>
        <translation>WAV</translation>
    </message>
    <message>
        <source>AMR</source>
        <translation>AMR</translation>
    </message>
    <message>
        <source>Opus</source>
        <translation>Opus</translation>
    </message>
    <message>
        <source>Ogg Vorbis</source>
        <translation>Ogg Vorbis</translation>
    </message>
    <message>
        <source>M4A</source>
        <translation>M4A</translation>
    </message>
    <message>
        <source>The format every file is converted to.</source>
        <translation>每个文件要转换成的格式。</translation>
    </message>
</context>
<context>
    <name>NamePattern</name>
    <message numerus="yes">
        <source>The pattern is longer than %n characters.</source>
        <translation>
            <numerusform>命名规则超过了 %n 个字符。</numerusform>
        </translation>
    </message>
    <message>
        <source>A name cannot hold &quot;/&quot;.</source>
        <translation>文件名不能包含“/”。</translation>
    </message>
    <message>
        <source>A name cannot hold control characters.</source>
        <translation>文件名不能包含控制字符。</translation>
    </message>
    <message>
        <source>A name cannot start with &quot;.&quot;.</source>
        <translation>文件名不能以“.”开头。</translation>
    </message>
    <message>
        <source>Unknown placeholder: use {name}, {tool}, {ext}, {artist}, {title} and {n}.</source>
        <translation>未知的占位符：可用 {name}、{tool}、{ext}、{artist}、{title} 和 {n}。</translation>
    </message>
    <message>
        <source>Unknown artist</source>
        <translation>未知艺术家</translation>
    </message>
</context>
<context>
    <name>OutputPlan</name>
    <message>
        <source>%1 Hz: the format holds no %2 Hz</source>
        <translation>%1 Hz：该格式不支持 %2 Hz</translation>
    </message>
    <message numerus="yes">
        <source>%n channel(s): the format holds no more</source>
        <translation>
            <numerusform>%n 个声道：该格式最多支持这么多</numerusform>
        </translation>
    </message>
    <message>
        <source>the cover picture is not kept: the format holds none</source>
        <translation>未保留封面图片：该格式不支持封面</translation>
    </message>
</context>
<context>
    <name>OutputSettingsPopup</name>
    <message>
        <source>VBR %1</source>
        <translation>VBR %1</translation>
    </message>
    <message>
        <source>%1 kb/s</source>
        <translation>%1 kb/s</translation>
    </message>
    <message>
        <source>Quality %1</source>
        <translation>质量 %1</translation>
    </message>
    <message>
        <source>Level %1</source>
        <translation>级别 %1</translation>
    </message>
    <message>
        <source>32-bit float</source>
        <translation>32 位浮点</translation>
    </message>
    <message>
        <source>%1-bit</source>
        <translation>%1 位</translation>
    </message>
    <message>
        <source>Output settings (Keep: as the input)</source>
        <translation>输出设置（保持：与输入相同）</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>保持</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>单声道</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>立体声</translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>采样率</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>声道</translation>
    </message>
    <message>
        <source>File names</source>
        <translation>文件名</translation>
    </message>
    <message>
        <source>{name} the input&apos;s name, {tool} the tool&apos;s tag, {ext} the extension, {artist} and {title} the input&apos;s tags, {n} the number of a taken name. Empty: the usual names.</source>
        <translation>{name} 输入文件名，{tool} 工具标记，{ext} 扩展名，{artist} 和 {title} 输入文件的标签，{n} 重名时的编号。留空：使用通常的文件名。</translation>
    </message>
    <message>
        <source>Name taken</source>
        <translation>文件名已存在时</translation>
    </message>
    <message>
        <source>Number it: name (0)</source>
        <translation>编号：name (0)</translation>
    </message>
    <message>
        <source>Skip the file</source>
        <translation>跳过该文件</translation>
    </message>
    <message>
        <source>Added folders keep their sub-folders</source>
        <translation>添加的文件夹保留其子文件夹结构</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>艺术家</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>e.g. %1</source>
        <translation>例如 %1</translation>
    </message>
</context>
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
<context>
    <name>RunVerdict</name>
    <message>
        <source>The converter could not be started.</source>
        <translation>无法启动转换程序。</translation>
    </message>
    <message>
        <source>No usable output was written.</source>
        <translation>没有生成可用的输出文件。</translation>
    </message>
    <message>
        <source>The output holds no audio.</source>
        <translation>输出文件中没有音频。</translation>
    </message>
    <message>
        <source>The output was cut short: %1 s of %2 s.</source>
        <translation>输出不完整：只有 %1 秒，应为 %2 秒。</translation>
    </message>
</context>
<context>
    <name>ScriptChainData</name>
    <message>
        <source>The list of pieces to join could not be written.</source>
        <translation>无法写入待合并片段的列表。</translation>
    </message>
    <message>
        <source>No audio could be cut from the input.</source>
        <translation>无法从输入文件中切分出音频。</translation>
    </message>
    <message>
        <source>The input is shorter than one second.</source>
        <translation>输入文件短于一秒。</translation>
    </message>
    <message>
        <source>The private work folder is unsafe: a link or another user&apos;s folder is in its place.</source>
        <translation>私有工作文件夹不安全：其位置上是一个链接或其他用户的文件夹。</translation>
    </message>
</context>
<context>
    <name>SpeedConvertWidget</name>
    <message>
        <source>Speed:</source>
        <translation>速度：</translation>
    </message>
    <message>
        <source>How many times faster the new files play; below 1, slower.</source>
        <translation>新文件播放速度的倍数；小于 1 则更慢。</translation>
    </message>
</context>
<context>
    <name>SplitConvertWidget</name>
    <message>
        <source>Split Type:</source>
        <translation>分割方式：</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>按时长</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>按段数</translation>
    </message>
    <message>
        <source>Silence</source>
        <translation>按静音</translation>
    </message>
    <message>
        <source>Split type</source>
        <translation>分割方式</translation>
    </message>
    <message>
        <source>Cut into pieces of one length, into a number of pieces, or where the audio is silent.</source>
        <translation>按固定时长、按段数，或在音频静音处切分。</translation>
    </message>
    <message>
        <source>Piece length</source>
        <translation>每段时长</translation>
    </message>
    <message>
        <source>Number of pieces</source>
        <translation>段数</translation>
    </message>
    <message>
        <source>Below:</source>
        <translation>低于：</translation>
    </message>
    <message>
        <source>For:</source>
        <translation>持续：</translation>
    </message>
    <message>
        <source>Pieces from:</source>
        <translation>每段最短：</translation>
    </message>
    <message>
        <source>To:</source>
        <translation>最长：</translation>
    </message>
    <message>
        <source>Silence threshold</source>
        <translation>静音阈值</translation>
    </message>
    <message>
        <source>Shortest silence</source>
        <translation>最短静音</translation>
    </message>
    <message>
        <source>Shortest piece</source>
        <translation>最短片段</translation>
    </message>
    <message>
        <source>Longest piece</source>
        <translation>最长片段</translation>
    </message>
    <message>
        <source>Audio quieter than this many decibels below full scale counts as silence.</source>
        <translation>比满刻度低于这么多分贝的音频视为静音。</translation>
    </message>
    <message>
        <source>A silence must last at least this many seconds to be cut in.</source>
        <translation>静音至少持续这么多秒才会在其中切分。</translation>
    </message>
    <message>
        <source>No piece is made shorter than this many seconds.</source>
        <translation>切出的片段不会短于这么多秒。</translation>
    </message>
    <message>
        <source>Pieces longer than this many seconds are cut evenly; 0 sets no limit.</source>
        <translation>长于这么多秒的片段会被平均切开；0 表示不限。</translation>
    </message>
    <message>
        <source> s</source>
        <translation> 秒</translation>
    </message>
    <message>
        <source>no limit</source>
        <translation>不限</translation>
    </message>
    <message>
        <source>Every piece lasts this long; the last one keeps what is left.</source>
        <translation>每段都是这么长；最后一段保留剩下的部分。</translation>
    </message>
    <message>
        <source>How many pieces of equal length every file is cut into.</source>
        <translation>每个文件要切成多少段等长的片段。</translation>
    </message>
    <message>
        <source>Use the panel&apos;s plan</source>
        <translation>使用面板的切分方案</translation>
    </message>
    <message>
        <source>Forgets the cuts dragged for this file; the split type applies to it again.</source>
        <translation>取消为此文件拖动设定的切分点，重新使用分割方式。</translation>
    </message>
    <message>
        <source>Drag a cut line to move it. Left and Right move the chosen cut by one second, Shift with Left and Right chooses another.</source>
        <translation>拖动切分线即可移动它。左右方向键将所选切分点移动一秒，按住 Shift 再按左右方向键选择另一个切分点。</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Audio or video files for Format Convert.</source>
        <translation>要进行格式转换的音频或视频文件。</translation>
    </message>
    <message>
        <source>ffmpeg was not found: install the ffmpeg package</source>
        <translation>未找到 ffmpeg：请安装 ffmpeg 软件包</translation>
    </message>
    <message>
        <source>Quillvane</source>
        <translation>Quillvane</translation>
    </message>
</context>
<context>
    <name>StatusLineReader</name>
    <message>
        <source>The disk is full.</source>
        <translation>磁盘已满。</translation>
    </message>
    <message>
        <source>The file grew larger than this disk allows.</source>
        <translation>文件超过了该磁盘允许的大小。</translation>
    </message>
    <message>
        <source>Your disk quota is used up.</source>
        <translation>您的磁盘配额已用完。</translation>
    </message>
    <message>
        <source>The output folder is on a read-only disk.</source>
        <translation>输出文件夹位于只读磁盘上。</translation>
    </message>
</context>
<context>
    <name>ToolsBaseWidget</name>
    <message>
        <source>Add Voices</source>
        <translation>添加音频</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>开始转换</translation>
    </message>
    <message>
        <source>Output Folder:</source>
        <translation>输出目录：</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>更改</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>添加文件</translation>
    </message>
    <message>
        <source>Save Directory</source>
        <translation>选择保存目录</translation>
    </message>
    <message>
        <source>Media</source>
        <translation>媒体文件</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>添加文件夹</translation>
    </message>
    <message numerus="yes">
        <source>%n converted</source>
        <translation>
            <numerusform>已转换 %n 个</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>失败 %n 个</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stopped</source>
        <translation>
            <numerusform>停止 %n 个</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <translation>，</translation>
    </message>
    <message>
        <source>All files</source>
        <translation>所有文件</translation>
    </message>
    <message>
        <source>1 job is still converting. Stop it?</source>
        <translation>还有 1 个任务正在转换。要停止它吗？</translation>
    </message>
    <message>
        <source>%1 jobs are still converting. Stop them?</source>
        <translation>还有 %1 个任务正在转换。要停止它们吗？</translation>
    </message>
    <message>
        <source>Stop converting</source>
        <translation>停止转换</translation>
    </message>
    <message>
        <source>Quillvane cannot write to this folder.</source>
        <translation>Quillvane 无法写入此文件夹。</translation>
    </message>
    <message>
        <source>Output…</source>
        <translation>输出…</translation>
    </message>
    <message>
        <source>Returns to the list of tools.</source>
        <translation>返回工具列表。</translation>
    </message>
    <message>
        <source>Chooses audio or video files to add to the list.</source>
        <translation>选择要添加到列表中的音频或视频文件。</translation>
    </message>
    <message>
        <source>Adds every audio and video file of a folder to the list.</source>
        <translation>把一个文件夹中的所有音频和视频文件添加到列表中。</translation>
    </message>
    <message>
        <source>Sets the quality and the format settings of the files this tool writes.</source>
        <translation>设置此工具所写文件的质量和格式参数。</translation>
    </message>
    <message>
        <source>Converts the files of the list that wait.</source>
        <translation>转换列表中等待转换的文件。</translation>
    </message>
    <message>
        <source>Chooses the folder the new files are written to.</source>
        <translation>选择新文件写入的文件夹。</translation>
    </message>
    <message>
        <source>Opens the output folder.</source>
        <translation>打开输出文件夹。</translation>
    </message>
    <message numerus="yes">
        <source>%n skipped (name taken)</source>
        <translation>
            <numerusform>跳过 %n 个（文件名已存在）</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ToolsSelectWidget</name>
    <message>
        <source>Format Convert</source>
        <translation>格式转换</translation>
    </message>
    <message>
        <source>Speed Adjust</source>
        <translation>音频变速</translation>
    </message>
    <message>
        <source>Volume Adjust</source>
        <translation>音量调节</translation>
    </message>
    <message>
        <source>Voice Mix</source>
        <translation>音频混音</translation>
    </message>
    <message>
        <source>Voice Split</source>
        <translation>音频分割</translation>
    </message>
    <message>
        <source>Voice Concat</source>
        <translation>音频合并</translation>
    </message>
    <message>
        <source>Voice Trim</source>
        <translation>音频裁剪</translation>
    </message>
    <message>
        <source>Voice separation</source>
        <translation>人声分离</translation>
    </message>
    <message>
        <source>Voice Changer</source>
        <translation>音频变声</translation>
    </message>
    <message>
        <source>Convert files to MP3, AAC, FLAC, WAV or AMR.</source>
        <translation>将文件转换为 MP3、AAC、FLAC、WAV 或 AMR。</translation>
    </message>
    <message>
        <source>Play faster or slower without changing the pitch.</source>
        <translation>加快或放慢播放速度，音调不变。</translation>
    </message>
    <message>
        <source>Even out the loudness, or make files louder or quieter.</source>
        <translation>统一响度，或让文件更响、更轻。</translation>
    </message>
    <message>
        <source>Voice Reverse</source>
        <translation>音频倒放</translation>
    </message>
    <message>
        <source>Reverse each file: it plays backwards.</source>
        <translation>将每个文件倒放：从结尾播放到开头。</translation>
    </message>
    <message>
        <source>Overlay every file of the list into one, played together.</source>
        <translation>把列表中的所有文件叠加为一个文件，同时播放。</translation>
    </message>
    <message>
        <source>Cut each file into pieces of a length or into a number of parts.</source>
        <translation>按时长或按份数把每个文件切成多段。</translation>
    </message>
    <message>
        <source>Join every file of the list, one after another, into one.</source>
        <translation>把列表中的所有文件依次首尾相接，合成一个文件。</translation>
    </message>
    <message>
        <source>Keep one time range of each file.</source>
        <translation>保留每个文件的一段时间范围。</translation>
    </message>
    <message>
        <source>Separate the voice from the accompaniment.</source>
        <translation>把人声与伴奏分开。</translation>
    </message>
    <message>
        <source>Make a voice sound like another speaker.</source>
        <translation>让声音听起来像另一位说话人。</translation>
    </message>
</context>
<context>
    <name>TopWidget</name>
    <message>
        <source>Quillvane</source>
        <translation>Quillvane</translation>
    </message>
    <message>
        <source>Ver: %1</source>
        <translation>版本：%1</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>使用帮助</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>技术支持</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>官方网站</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Experimental tools</source>
        <translation>实验性工具</translation>
    </message>
</context>
<context>
    <name>TrimConvertWidget</name>
    <message>
        <source>Start Time:</source>
        <translation>开始时间：</translation>
    </message>
    <message>
        <source>End Time:</source>
        <translation>结束时间：</translation>
    </message>
    <message>
        <source>The end time must be after the start time.</source>
        <translation>结束时间必须晚于开始时间。</translation>
    </message>
    <message>
        <source>Where the kept part of the file begins.</source>
        <translation>文件中保留部分的开始位置。</translation>
    </message>
    <message>
        <source>Where the kept part of the file ends.</source>
        <translation>文件中保留部分的结束位置。</translation>
    </message>
    <message>
        <source>Use the panel&apos;s range</source>
        <translation>使用面板的范围</translation>
    </message>
    <message>
        <source>Forgets the range dragged for this file; the time boxes apply to it again.</source>
        <translation>取消为此文件拖动设定的范围，重新使用时间框中的范围。</translation>
    </message>
    <message>
        <source>Drag the ends of the kept range. Left and Right move its start, Shift with Left and Right its end, by one second.</source>
        <translation>拖动保留范围的两端。左右方向键将开始位置移动一秒，按住 Shift 再按左右方向键移动结束位置。</translation>
    </message>
</context>
<context>
    <name>URVConvertWidget</name>
    <message>
        <source>Type:</source>
        <translation>类型：</translation>
    </message>
    <message>
        <source>HP5 only main vocal</source>
        <translation>HP5 仅主人声</translation>
    </message>
    <message>
        <source>De-echo aggressive</source>
        <translation>强力去回声</translation>
    </message>
    <message>
        <source>HP3 all vocals</source>
        <translation>HP3 全部人声</translation>
    </message>
    <message>
        <source>How the voice is taken out of the song.</source>
        <translation>从歌曲中提取人声的方式。</translation>
    </message>
</context>
<context>
    <name>VoiceConcatItemWidget</name>
    <message>
        <source>Up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>下移</translation>
    </message>
</context>
<context>
    <name>VoiceData</name>
    <message>
        <source>The converter could not be started.</source>
        <translation>无法启动转换程序。</translation>
    </message>
    <message>
        <source>The output folder cannot be written.</source>
        <translation>无法写入输出文件夹。</translation>
    </message>
    <message>
        <source>The result could not be given its name in the output folder.</source>
        <translation>无法在输出文件夹中为结果文件命名。</translation>
    </message>
    <message>
        <source>No usable output was written.</source>
        <translation>没有生成可用的输出文件。</translation>
    </message>
    <message>
        <source>Skipped: %1 exists.</source>
        <translation>已跳过：%1 已存在。</translation>
    </message>
    <message>
        <source>The folder %1 cannot be made in the output folder.</source>
        <translation>无法在输出文件夹中创建文件夹 %1。</translation>
    </message>
</context>
<context>
    <name>VoiceItemWidget</name>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>转换</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>正在转换</translation>
    </message>
    <message>
        <source>mono</source>
        <translation>单声道</translation>
    </message>
    <message>
        <source>stereo</source>
        <translation>立体声</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>转换成功</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>转换失败</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>剩余 %1</translation>
    </message>
    <message numerus="yes">
        <source>%n channels</source>
        <translation>
            <numerusform>%n 声道</numerusform>
        </translation>
    </message>
    <message>
        <source>Copy error</source>
        <translation>复制错误信息</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>converting, %1 %</source>
        <translation>正在转换，%1 %</translation>
    </message>
    <message>
        <source>converted</source>
        <translation>已转换</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>not converted yet</source>
        <translation>尚未转换</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>Takes this file off the list; the file itself stays.</source>
        <translation>把此文件从列表中移除；文件本身保留。</translation>
    </message>
    <message>
        <source>Converts this file.</source>
        <translation>转换此文件。</translation>
    </message>
    <message>
        <source>Stops converting this file.</source>
        <translation>停止转换此文件。</translation>
    </message>
    <message>
        <source>Opens the folder of the new file.</source>
        <translation>打开新文件所在的文件夹。</translation>
    </message>
    <message>
        <source>skipped: %1</source>
        <translation>已跳过：%1</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>已跳过</translation>
    </message>
</context>
<context>
    <name>VoiceSplitData</name>
    <message>
        <source>own cuts at %1</source>
        <translation>自定切分点 %1</translation>
    </message>
</context>
<context>
    <name>VoiceTrimData</name>
    <message>
        <source>keeps %1-%2</source>
        <translation>保留 %1-%2</translation>
    </message>
</context>
<context>
    <name>VolumeConvertWidget</name>
    <message>
        <source>Standardizing</source>
        <translation>响度标准化</translation>
    </message>
    <message>
        <source>Volume Adjust:</source>
        <translation>音量调节：</translation>
    </message>
    <message>
        <source>How the loudness of every file is changed.</source>
        <translation>每个文件的响度如何改变。</translation>
    </message>
</context>
<context>
    <name>WaveformPane</name>
    <message>
        <source>Add a file to see its waveform here.</source>
        <translation>添加文件后，这里会显示它的波形。</translation>
    </message>
    <message>
        <source>Reading the waveform of %1...</source>
        <translation>正在读取 %1 的波形……</translation>
    </message>
    <message>
        <source>%1 holds no audio to show.</source>
        <translation>%1 中没有可显示的音频。</translation>
    </message>
    <message>
        <source>Waveform of %1</source>
        <translation>%1 的波形</translation>
    </message>
    <message>
        <source>Waveform</source>
        <translation>波形</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Stop playing</source>
        <translation>停止播放</translation>
    </message>
    <message>
        <source>Play the selection</source>
        <translation>播放所选范围</translation>
    </message>
    <message>
        <source>No sound device: playback is not available.</source>
        <translation>没有声音设备：无法播放。</translation>
    </message>
    <message>
        <source>Plays the kept range of the file shown in the waveform.</source>
        <translation>播放波形中所示文件的保留范围。</translation>
    </message>
    <message>
        <source>Plays the file shown in the waveform.</source>
        <translation>播放波形中所示的文件。</translation>
    </message>
</context>
<context>
    <name>WholeListToolWidget</name>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>开始转换</translation>
    </message>
</context>
<context>
    <name>WorkerPool</name>
    <message>
        <source>The converter could not be started.</source>
        <translation>无法启动转换程序。</translation>
    </message>
    <message>
        <source>The converter stopped unexpectedly.</source>
        <translation>转换程序意外停止。</translation>
    </message>
</context>
</TS>
