package kanne.test;

import java.nio.file.Files;
import java.nio.file.Path;

/** Returns from main at once while a non-daemon thread works on. */
public class Lingers {
    public static void main(String[] args) throws Exception {
        Thread worker = new Thread(() -> {
            try {
                Thread.sleep(1500);
                Files.writeString(Path.of("lingered.txt"), "done");
            } catch (Exception e) {
                e.printStackTrace();
            }
        });
        worker.start();
        Files.writeString(Path.of("main-returned.txt"), "yes");
    }
}
