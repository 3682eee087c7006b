<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gb2312">
<title>在线电视播放</title>
<style>body{margin:0;background:#102030;color:#eee;font-size:13px;font-family:sans-serif}
.bar{padding:6px 10px}a{color:#9cf;margin-right:12px}video{width:100%;height:80%;background:#000}</style>
</head>
<body>
<div class="bar">频道: <a href="#">演示一台</a><a href="#">演示二台</a><a href="#">演示新闻</a>
<a href="http://{{SETUP}}/" target="_blank">节目单</a></div>
<video src="http://{{VIDEO}}/player/clip.webm" controls autoplay loop></video>
<div class="bar">演示电视直播: 信号来自本机的演示服务器。</div>
</body>
</html>
