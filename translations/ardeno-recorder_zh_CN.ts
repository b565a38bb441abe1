<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AlignPanel</name>
    <message>
        <source>Align text...</source>
        <translation>对齐文本...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>约剩 %1 秒</translation>
    </message>
</context>
<context>
    <name>CRecorderDlg</name>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Pause Points</source>
        <translation>暂停点</translation>
    </message>
</context>
<context>
    <name>DrillDialog</name>
    <message>
        <source>Go on to the next sentence</source>
        <translation>继续下一句</translation>
    </message>
    <message>
        <source>Record my repetition</source>
        <translation>录下我的跟读</translation>
    </message>
    <message>
        <source>Play the sentence again after my take</source>
        <translation>跟读后再播放一遍原句</translation>
    </message>
    <message>
        <source>Drill</source>
        <translation>跟读练习</translation>
    </message>
    <message>
        <source>Endless</source>
        <translation>无限次</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Repeats per sentence:</source>
        <translation>每句重复次数：</translation>
    </message>
    <message>
        <source>Pause after each repeat:</source>
        <translation>每次重复后停顿：</translation>
    </message>
    <message>
        <source>%1 × the sentence</source>
        <translation>句长的 %1 倍</translation>
    </message>
</context>
<context>
    <name>PlaybackSpeed</name>
    <message>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>Slower</source>
        <translation>减慢</translation>
    </message>
    <message>
        <source>Faster</source>
        <translation>加快</translation>
    </message>
</context>
<context>
    <name>SentenceWork</name>
    <message>
        <source>Next sentence</source>
        <translation>下一句</translation>
    </message>
    <message>
        <source>Previous sentence</source>
        <translation>上一句</translation>
    </message>
    <message>
        <source>Pause points from sentences</source>
        <translation>按句子设置暂停点</translation>
    </message>
    <message>
        <source>Drill...</source>
        <translation>跟读练习...</translation>
    </message>
    <message>
        <source>Snap marks to pauses</source>
        <translation>标记对齐到停顿</translation>
    </message>
    <message>
        <source>Shortest pause between sentences</source>
        <translation>句间最短停顿</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>No sentences have been found in this media&apos;s sound yet.</source>
        <translation>尚未在此媒体的声音中找到句子。</translation>
    </message>
    <message>
        <source>This media has %1 pause points. Replace them with the starts of its %2 sentences?</source>
        <translation>此媒体已有 %1 个暂停点。要用它的 %2 个句子的开头替换它们吗？</translation>
    </message>
    <message>
        <source>Finding sentences…</source>
        <translation>正在查找句子…</translation>
    </message>
</context>
<context>
    <name>Shadowing</name>
    <message>
        <source>Your turn: say the sentence</source>
        <translation>轮到你了：请说出这句话</translation>
    </message>
    <message>
        <source>Play my take</source>
        <translation>播放我的跟读</translation>
    </message>
    <message>
        <source>This segment has no take yet. Takes are recorded by a drill with &quot;Record my repetition&quot;.</source>
        <translation>此片段还没有跟读录音。勾选“录下我的跟读”进行跟读练习即可录下跟读。</translation>
    </message>
</context>
<context>
    <name>TakeFeedback</name>
    <message>
        <source>No comparison: %1</source>
        <translation>无法比较：%1</translation>
    </message>
    <message>
        <source>slower</source>
        <translation>偏慢</translation>
    </message>
    <message>
        <source>faster</source>
        <translation>偏快</translation>
    </message>
    <message>
        <source>not matched</source>
        <translation>未对上</translation>
    </message>
    <message>
        <source>Melody %1, timing %2</source>
        <translation>语调 %1，节奏 %2</translation>
    </message>
    <message>
        <source>(take before, %1: %2, %3)</source>
        <translation>（上一次跟读，%1：%2，%3）</translation>
    </message>
</context>
<context>
    <name>TextAlignWork</name>
    <message>
        <source>Align text...</source>
        <translation>对齐文本...</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds the pause points of this media, not a text to align. Choose the text that is read in the recording.</source>
        <translation>“%1”是此媒体的暂停点文件，不是要对齐的文本。请选择录音中朗读的文本。</translation>
    </message>
    <message>
        <source>The text cannot be aligned: %1</source>
        <translation>无法对齐该文本：%1</translation>
    </message>
    <message>
        <source>%1 is no text file: line %2 holds binary bytes.</source>
        <translation>%1 不是文本文件：第 %2 行含有二进制字节。</translation>
    </message>
    <message>
        <source>%1 holds no text.</source>
        <translation>%1 中没有文字。</translation>
    </message>
    <message>
        <source>The text cannot be aligned: the speech synthesiser has no voice.</source>
        <translation>无法对齐该文本：语音合成器没有可用的语音。</translation>
    </message>
    <message>
        <source>The language of the text:</source>
        <translation>文本的语言：</translation>
    </message>
    <message>
        <source>This text was aligned with this voice before: its times are read from &quot;%1&quot;.</source>
        <translation>此文本曾用此语音对齐过：时间取自“%1”。</translation>
    </message>
    <message>
        <source>The alignment was cancelled; nothing was saved.</source>
        <translation>对齐已取消，未保存任何内容。</translation>
    </message>
    <message>
        <source>%1, being aligned: %2 of %3 sentences</source>
        <translation>%1，正在对齐：%3 句中的 %2 句</translation>
    </message>
    <message>
        <source>The text could not be aligned: %1</source>
        <translation>未能对齐该文本：%1</translation>
    </message>
    <message>
        <source>%1, aligned, not saved</source>
        <translation>%1，已对齐，未保存</translation>
    </message>
    <message>
        <source>&quot;%1&quot; exists. Replace it with the aligned text?</source>
        <translation>“%1”已存在。要用对齐的文本替换它吗？</translation>
    </message>
    <message>
        <source>Not saved: &quot;Save transcript&quot; writes it to &quot;%1&quot;.</source>
        <translation>未保存：“保存文稿”会把它写入“%1”。</translation>
    </message>
    <message>
        <source>The aligned transcript could not be saved: %1: %2</source>
        <translation>无法保存对齐的文稿：%1：%2</translation>
    </message>
    <message>
        <source>%1 sentences aligned and saved in &quot;%2&quot;.</source>
        <translation>已对齐 %1 句并保存到“%2”。</translation>
    </message>
    <message>
        <source>no sentence of it was timed.</source>
        <translation>没有一句被定时。</translation>
    </message>
</context>
<context>
    <name>TranscriptWindow</name>
    <message>
        <source>Transcript</source>
        <translation>文稿</translation>
    </message>
</context>
<context>
    <name>TranscriptWork</name>
    <message>
        <source>Transcript</source>
        <translation>文稿</translation>
    </message>
    <message>
        <source>Transcript window</source>
        <translation>文稿窗口</translation>
    </message>
    <message>
        <source>Open transcript...</source>
        <translation>打开文稿...</translation>
    </message>
    <message>
        <source>Save transcript</source>
        <translation>保存文稿</translation>
    </message>
    <message>
        <source>Transcript earlier</source>
        <translation>文稿提前</translation>
    </message>
    <message>
        <source>Transcript later</source>
        <translation>文稿延后</translation>
    </message>
    <message>
        <source>Snap lines to pauses</source>
        <translation>文稿行对齐到停顿</translation>
    </message>
    <message>
        <source>Save sentence times as LRC</source>
        <translation>将句子时间保存为 LRC</translation>
    </message>
    <message>
        <source>Save sentence times as SRT</source>
        <translation>将句子时间保存为 SRT</translation>
    </message>
    <message>
        <source>The times of the transcript &quot;%1&quot; were changed. Save them?</source>
        <translation>文稿“%1”的时间已更改。要保存吗？</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed by another program since it was read. Replace it?</source>
        <translation>“%1”在读取后已被其他程序更改。要替换它吗？</translation>
    </message>
    <message>
        <source>The transcript could not be saved: %1</source>
        <translation>无法保存文稿：%1</translation>
    </message>
    <message>
        <source>No sentences have been found in this media&apos;s sound yet.</source>
        <translation>尚未在此媒体的声音中找到句子。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; exists. Replace it with the sentence times?</source>
        <translation>“%1”已存在。要用句子时间替换它吗？</translation>
    </message>
    <message>
        <source>The sentence times could not be saved: %1: %2</source>
        <translation>无法保存句子时间：%1：%2</translation>
    </message>
    <message>
        <source>The times of %1 sentences were saved in &quot;%2&quot;.</source>
        <translation>%1 个句子的时间已保存到“%2”。</translation>
    </message>
    <message>
        <source>No transcript beside this media. &quot;Open transcript...&quot; reads one.</source>
        <translation>此媒体旁没有文稿。可用“打开文稿...”读取一个。</translation>
    </message>
    <message>
        <source>Stream %1</source>
        <translation>流 %1</translation>
    </message>
    <message>
        <source>Subtitle stream</source>
        <translation>字幕流</translation>
    </message>
    <message>
        <source>Not all streams could be read: %1</source>
        <translation>未能读完所有流：%1</translation>
    </message>
    <message>
        <source>No subtitle stream in this media</source>
        <translation>此媒体中没有字幕流</translation>
    </message>
    <message>
        <source>&quot;%1&quot; exists. Replace it with the subtitle stream?</source>
        <translation>“%1”已存在。要用字幕流替换它吗？</translation>
    </message>
    <message>
        <source>%1, subtitle stream %2</source>
        <translation>%1，字幕流 %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; exists. Replace it with &quot;%2&quot;?</source>
        <translation>“%1”已存在。要用“%2”替换它吗？</translation>
    </message>
</context>
<context>
    <name>WaveformView</name>
    <message>
        <source>No waveform: %1</source>
        <translation>无波形：%1</translation>
    </message>
    <message>
        <source>Analysing the sound…</source>
        <translation>正在分析声音…</translation>
    </message>
    <message>
        <source>Analysing the sound… %1%</source>
        <translation>正在分析声音… %1%</translation>
    </message>
</context>
</TS>
